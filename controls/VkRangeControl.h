#pragma once

#include <QImage>

#include "controls/ValueRange.h"
#include "controls/VkControl.h"

// What the controls showing a value between Min and Max share: the value and its range
// with the derived percentage, the orientation (changing it turns the control by swapping
// its width and height), the flat or 3D border, the background colour, the drawn surface
// framed by the border, and the click signals. Colours are 0x00BBGGRR words; 0x800000nn
// names a system colour.
class VkRangeControl : public VkControl {
    Q_OBJECT
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Percentage READ Percentage)
    Q_PROPERTY(QImage Image READ Image)

  public:
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint color) { SetLook(backColor_, color); }
    int Orientation() const { return orientation_; }
    void SetOrientation(int orientation);
    int Appearance() const { return appearance_; }
    void SetAppearance(int appearance) { SetLook(appearance_, appearance); }
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style) { SetLook(borderStyle_, style); }
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Value() const { return value_; }
    void SetValue(int value);
    int Percentage() const { return ValueRange::Percentage(min_, max_, value_); }
    // The drawn surface (inside the border).
    QImage Image() const { return surface_; }

  signals:
    void Change();  // Value took a new value

  protected:
    using VkControl::VkControl;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void AfterReading() override;

    // Width of the border around the surface: 0, 1 for a flat line or the 3D edge's.
    virtual int FrameWidth() const = 0;
    // Shows a new value; the whole look is refreshed unless the control knows better.
    virtual void ShowValue() { Refresh(); }
    // A colour or style is about to be set by hand.
    virtual void LookChosen() {}
    // Stores a colour or style the field's row admits.
    template <typename T>
    void SetLook(T& field, const T& value) {
        if (Facts(&field).Admits(value)) {
            LookChosen();
            StoreField(field, value);
        }
    }
    ValueRange Range() { return ValueRange(min_, max_, value_); }

    // Defaults come from the control's property table.
    uint backColor_{};
    int orientation_{};
    int appearance_{};
    int borderStyle_{};
    int min_{};
    int max_{};
    int value_{};
    QImage surface_;
};
