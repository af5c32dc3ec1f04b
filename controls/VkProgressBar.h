#pragma once

#include "controls/VkRangeControl.h"

// Owner-drawn progress bar: a value between Min and Max shown as a filled part drawn
// with colour gradients (soft or tube light), horizontal or vertical, flat with an
// optional one-pixel border or with a sunken 3D border, with six colour themes.
class VkProgressBar : public VkRangeControl {
    Q_OBJECT
    Q_PROPERTY(int Theme READ Theme WRITE SetTheme)
    Q_PROPERTY(uint BarColor READ BarColor WRITE SetBarColor)
    Q_PROPERTY(uint LightColor READ LightColor WRITE SetLightColor)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int LightStyle READ LightStyle WRITE SetLightStyle)

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
    void SetBarColor(uint color) { SetLook(barColor_, color); }
    uint LightColor() const { return lightColor_; }
    void SetLightColor(uint color) { SetLook(lightColor_, color); }
    uint BorderColor() const { return borderColor_; }
    void SetBorderColor(uint color) { SetLook(borderColor_, color); }
    int LightStyle() const { return lightStyle_; }
    void SetLightStyle(int style) { SetLook(lightStyle_, style); }

    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkProgressBar>& Properties();

    QSize sizeHint() const override { return QSize(150, 20); }

  private:
    const PropertyRows& Rows() const override;
    void Refresh() override;
    void AfterReading() override;
    // A colour or style written by hand makes the look a custom one.
    void LookChosen() override { theme_ = thmCUSTOM; }
    int FrameWidth() const override;

    // Defaults come from the property table.
    int theme_ = thmCorporate;
    uint barColor_{};
    uint lightColor_{};
    uint borderColor_{};
    int lightStyle_{};
};
