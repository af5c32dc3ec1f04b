#pragma once

#include "controls/ClickGesture.h"
#include "controls/OwnerDrawnWidget.h"

// Owner-drawn check box with three behaviours (two-state, yes/no, three-state), check
// images from the library's resources, hover effects on the caption, an optional focus
// rectangle, an optional see-through background and the library's tooltip.
// Value: 1 checked (yes), 0 unchecked, -1 third state (no).
class VkCheckBox : public OwnerDrawnWidget {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool FocusRect READ FocusRect WRITE SetFocusRect)
    Q_PROPERTY(bool HoverFX READ HoverFX WRITE SetHoverFX)
    Q_PROPERTY(bool HoverBold READ HoverBold WRITE SetHoverBold)
    Q_PROPERTY(bool HoverUnderline READ HoverUnderline WRITE SetHoverUnderline)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE SetHoverColor)

  public:
    enum CB_CHECKBOXSTYLE { csNormal = 0, csYesNo = 1, csTriState = 2 };
    Q_ENUM(CB_CHECKBOXSTYLE)
    enum CB_BASICALIGN { baLeft = 0, baRight = 1 };
    Q_ENUM(CB_BASICALIGN)

    explicit VkCheckBox(QWidget* parent = nullptr);
    ~VkCheckBox() override;

    int Value() const { return value_; }
    void SetValue(int value);
    int Style() const { return style_; }
    void SetStyle(int style);
    bool FocusRect() const { return focusRect_; }
    void SetFocusRect(bool on) { StoreField(focusRect_, on); }
    bool HoverFX() const { return hoverFX_; }
    void SetHoverFX(bool on) { StoreField(hoverFX_, on); }
    bool HoverBold() const { return hoverBold_; }
    void SetHoverBold(bool on) { StoreField(hoverBold_, on); }
    bool HoverUnderline() const { return hoverUnderline_; }
    void SetHoverUnderline(bool on) { StoreField(hoverUnderline_, on); }
    uint HoverColor() const { return hoverColor_; }
    void SetHoverColor(uint color) { StoreField(hoverColor_, color); }

    // Acts as a mouse click: advances Value by the style's cycle, then raises Click.
    void DoClick();
    // Where the check image is drawn.
    QRect ImageRect() const;

    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkCheckBox>& Properties();

    QSize sizeHint() const override;

  signals:
    void Change();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    const PropertyRows& Rows() const override;
    void AfterReading() override;
    QImage Render() const override;
    QSize FittedSize() const override;
    bool HoverEffects() const override { return hoverFX_; }
    void StoreValue(int value);
    int Normalise(int value) const;
    QFont CaptionFont() const;

    // Defaults come from the property table.
    int value_{};
    int style_{};
    bool focusRect_{};
    bool hoverFX_{};
    bool hoverBold_{};
    bool hoverUnderline_{};
    uint hoverColor_{};
    int announced_ = 0;
    ClickGesture click_;
};
