#pragma once

#include <QImage>
#include <QVariant>
#include <QWidget>

#include "controls/PropertyBag.h"
#include "controls/PropertySetters.h"
#include "controls/ValueRange.h"

// Owner-drawn progress bar: a value between Min and Max shown as a filled part drawn
// with colour gradients (soft or tube light), horizontal or vertical, flat with an
// optional one-pixel border or with a sunken 3D border, with six colour themes.
// Colours are 0x00BBGGRR words; 0x800000nn names a system colour.
class VkProgressBar : public QWidget, private PropertySetters<VkProgressBar> {
    Q_OBJECT
    Q_PROPERTY(int Theme READ Theme WRITE SetTheme)
    Q_PROPERTY(uint BarColor READ BarColor WRITE SetBarColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint LightColor READ LightColor WRITE SetLightColor)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int LightStyle READ LightStyle WRITE SetLightStyle)
    Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Percentage READ Percentage)
    Q_PROPERTY(QVariant xtrVar READ xtrVar WRITE SetxtrVar)
    Q_PROPERTY(QImage Image READ Image)

  public:
    enum PB_THEME {
        thmCUSTOM = 0,
        thmCorporate = 1,
        thmOffice = 2,
        thmVitamin = 3,
        thmMercury3D = 4,
        thmNature3D = 5
    };
    Q_ENUM(PB_THEME)
    enum PB_LIGHTSTYLE { lsSoft = 0, lsTube = 1 };
    Q_ENUM(PB_LIGHTSTYLE)
    enum PB_ORIENTATION { pbHorizontal = 0, pbVertical = 1 };
    Q_ENUM(PB_ORIENTATION)
    enum PB_APPEARANCE { pbFlat = 0, pb3D = 1 };
    Q_ENUM(PB_APPEARANCE)
    enum PB_BORDERSTYLE { pbNone = 0, pbFixedSingle = 1 };
    Q_ENUM(PB_BORDERSTYLE)

    explicit VkProgressBar(QWidget* parent = nullptr);
    ~VkProgressBar() override;

    int Theme() const { return theme_; }
    void SetTheme(int theme);
    uint BarColor() const { return barColor_; }
    void SetBarColor(uint color);
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint color);
    uint LightColor() const { return lightColor_; }
    void SetLightColor(uint color);
    uint BorderColor() const { return borderColor_; }
    void SetBorderColor(uint color);
    int LightStyle() const { return lightStyle_; }
    void SetLightStyle(int style);
    int Orientation() const { return orientation_; }
    void SetOrientation(int orientation);
    int Appearance() const { return appearance_; }
    void SetAppearance(int appearance);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Value() const { return value_; }
    void SetValue(int value);
    int Percentage() const { return percentage_; }
    QVariant xtrVar() const { return xtrVar_; }
    void SetxtrVar(const QVariant& value);
    // The drawn surface (inside the border).
    QImage Image() const { return surface_; }

    // Saved-form support: reading applies every key (missing or malformed keys take
    // their defaults) without change notifications and draws once at the end.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkProgressBar>& Properties();

    QSize sizeHint() const override { return QSize(150, 20); }

  signals:
    void Click();
    void DblClick();
    void Change();  // Value took a new value
    void PropertyChanged(const QString& key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    friend class PropertySetters<VkProgressBar>;
    void Changed(const char* key);
    // A colour or style written by hand makes the look a custom one.
    template <typename T>
    void SetLook(T VkProgressBar::*member, T value);
    ValueRange Range() { return ValueRange(min_, max_, value_); }
    void UpdatePercentage();
    void Redraw();
    int FrameWidth() const;

    // Defaults come from the property table.
    int theme_ = thmCorporate;
    uint barColor_{};
    uint backColor_{};
    uint lightColor_{};
    uint borderColor_{};
    int lightStyle_{};
    int orientation_{};
    int appearance_{};
    int borderStyle_{};
    int min_{};
    int max_{};
    int value_{};
    int percentage_ = 0;
    QVariant xtrVar_;
    bool quiet_ = false;  // a saved form is read or a theme applied
    QImage surface_;
};
