#pragma once

#include <QFont>
#include <QImage>
#include <QVariant>
#include <QWidget>

#include "controls/OwnerDrawnWidget.h"
#include "controls/PropertyBag.h"
#include "controls/PropertySetters.h"

// Owner-drawn check box with three behaviours (two-state, yes/no, three-state), check
// images from the library's resources, hover effects on the caption, an optional focus
// rectangle, an optional see-through background and the library's tooltip.
// Value: 1 checked (yes), 0 unchecked, -1 third state (no).
class VkCheckBox : public OwnerDrawnWidget, private PropertySetters<VkCheckBox> {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Style READ Style WRITE SetStyle)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(uint MaskColor READ MaskColor WRITE SetMaskColor)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE SetUseMaskColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool FocusRect READ FocusRect WRITE SetFocusRect)
    Q_PROPERTY(bool HoverFX READ HoverFX WRITE SetHoverFX)
    Q_PROPERTY(bool HoverBold READ HoverBold WRITE SetHoverBold)
    Q_PROPERTY(bool HoverUnderline READ HoverUnderline WRITE SetHoverUnderline)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE SetHoverColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QVariant xtrVar READ xtrVar WRITE SetxtrVar)
    Q_PROPERTY(QString ExProp READ ExProp WRITE SetExProp)

  public:
    enum CB_CHECKBOXSTYLE { csNormal = 0, csYesNo = 1, csTriState = 2 };
    Q_ENUM(CB_CHECKBOXSTYLE)
    enum CB_BASICALIGN { baLeft = 0, baRight = 1 };
    Q_ENUM(CB_BASICALIGN)

    explicit VkCheckBox(QWidget* parent = nullptr);
    ~VkCheckBox() override;

    // A new control placed by a host: the caption is the host's name for it.
    void InitNew(const QString& hostName);

    int Value() const { return value_; }
    void SetValue(int value);
    int Style() const { return style_; }
    void SetStyle(int style);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    QFont Font() const { return font_; }
    void SetFont(const QFont& font);
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint color);
    uint ForeColor() const { return foreColor_; }
    void SetForeColor(uint color);
    uint MaskColor() const { return maskColor_; }
    void SetMaskColor(uint color);
    bool UseMaskColor() const { return useMask_; }
    void SetUseMaskColor(bool use);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool FocusRect() const { return focusRect_; }
    void SetFocusRect(bool on);
    bool HoverFX() const { return hoverFX_; }
    void SetHoverFX(bool on);
    bool HoverBold() const { return hoverBold_; }
    void SetHoverBold(bool on);
    bool HoverUnderline() const { return hoverUnderline_; }
    void SetHoverUnderline(bool on);
    uint HoverColor() const { return hoverColor_; }
    void SetHoverColor(uint color);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);
    QVariant xtrVar() const { return xtrVar_; }
    void SetxtrVar(const QVariant& value);
    QString ExProp() const { return exProp_; }
    void SetExProp(const QString& exProp);

    // Acts as a mouse click: advances Value by the style's cycle, then raises Click.
    void DoClick();
    QImage Image() const { return Render(); }
    // Where the check image is drawn.
    QRect ImageRect() const;

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkCheckBox>& Properties();

    QSize sizeHint() const override;

  signals:
    void Click();
    void DblClick();
    void Change();
    void MouseIn();
    void MouseOut();
    void PropertyChanged(const QString& key);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    friend class PropertySetters<VkCheckBox>;
    void Changed(const char* key);
    void StoreValue(int value);
    int Normalise(int value) const;
    void Redraw() override;
    QImage Render() const override;
    void AnnounceHover(bool entered) override;
    QFont CaptionFont() const;
    QSize ContentSize() const;

    // Defaults come from the property table.
    int value_{};
    int style_{};
    QString caption_;
    int alignment_{};
    QFont font_;
    uint backColor_{};
    uint foreColor_{};
    uint maskColor_{};
    bool useMask_{};
    bool autoSize_{};
    bool focusRect_{};
    bool hoverFX_{};
    bool hoverBold_{};
    bool hoverUnderline_{};
    uint hoverColor_{};
    QVariant xtrVar_;
    QString exProp_;
    int announced_ = 0;
    bool leftDown_ = false;
    bool spaceDown_ = false;
};
