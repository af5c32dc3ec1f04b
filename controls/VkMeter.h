#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QVariant>
#include <QWidget>

#include "controls/PropertyBag.h"
#include "controls/PropertySetters.h"
#include "controls/ValueRange.h"

// Segmented level meter: a value between Min and Max lights a number of equal segments;
// lit segments take the normal, warning or peak colour by their position, unlit ones
// ColorOff. Colours are 0x00BBGGRR words; 0x800000nn names a system colour.
class VkMeter : public QWidget, private PropertySetters<VkMeter> {
    Q_OBJECT
    Q_PROPERTY(uint ColorL0 READ ColorL0 WRITE SetColorL0)
    Q_PROPERTY(uint ColorL1 READ ColorL1 WRITE SetColorL1)
    Q_PROPERTY(uint ColorL2 READ ColorL2 WRITE SetColorL2)
    Q_PROPERTY(uint ColorOff READ ColorOff WRITE SetColorOff)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int Steps READ Steps WRITE SetSteps)
    Q_PROPERTY(int Level1StartPc READ Level1StartPc WRITE SetLevel1StartPc)
    Q_PROPERTY(int Level2StartPc READ Level2StartPc WRITE SetLevel2StartPc)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Percentage READ Percentage)
    Q_PROPERTY(QVariant xtrVar READ xtrVar WRITE SetxtrVar)
    Q_PROPERTY(QImage Image READ Image)

  public:
    enum MT_ORIENTATION { mtHorizontal = 0, mtVertical = 1 };
    Q_ENUM(MT_ORIENTATION)
    enum MT_APPEARANCE { mtFlat = 0, mt3D = 1 };
    Q_ENUM(MT_APPEARANCE)
    enum MT_BORDERSTYLE { mtNone = 0, mtFixedSingle = 1 };
    Q_ENUM(MT_BORDERSTYLE)

    explicit VkMeter(QWidget* parent = nullptr);
    ~VkMeter() override;

    uint ColorL0() const { return colorL0_; }
    void SetColorL0(uint color);
    uint ColorL1() const { return colorL1_; }
    void SetColorL1(uint color);
    uint ColorL2() const { return colorL2_; }
    void SetColorL2(uint color);
    uint ColorOff() const { return colorOff_; }
    void SetColorOff(uint color);
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint color);
    int Orientation() const { return orientation_; }
    void SetOrientation(int orientation);
    int Appearance() const { return appearance_; }
    void SetAppearance(int appearance);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int Steps() const { return steps_; }
    void SetSteps(int steps);
    int Level1StartPc() const { return level1_; }
    void SetLevel1StartPc(int percent);
    int Level2StartPc() const { return level2_; }
    void SetLevel2StartPc(int percent);
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Value() const { return value_; }
    void SetValue(int value);
    int Percentage() const { return percentage_; }
    QVariant xtrVar() const { return xtrVar_; }
    void SetxtrVar(const QVariant& value);
    QImage Image() const { return surface_; }

    // Number of lit segments in the last drawing, and how many drawings were made.
    int LitCount() const { return litDrawn_; }
    int DrawCount() const { return drawCount_; }
    // The colour segment i (1-based) takes when lit is the number of lit segments.
    quint32 SegmentColor(int i, int lit) const;
    // Segment rectangles of the current layout, first segment first.
    const QList<QRect>& Segments() const { return segments_; }

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkMeter>& Properties();

    QSize sizeHint() const override { return QSize(20, 120); }

  signals:
    void Click();
    void DblClick();
    void Change();
    void PropertyChanged(const QString& key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    friend class PropertySetters<VkMeter>;
    void Changed(const char* key);
    ValueRange Range() { return ValueRange(min_, max_, value_); }
    int ComputeLit() const;
    void UpdatePercentage();
    void Layout();
    void Redraw();
    int FrameWidth() const;

    // Defaults come from the property table.
    uint colorL0_{};
    uint colorL1_{};
    uint colorL2_{};
    uint colorOff_{};
    uint backColor_{};
    int orientation_{};
    int appearance_{};
    int borderStyle_{};
    int steps_{};
    int level1_{};
    int level2_{};
    int min_{};
    int max_{};
    int value_{};
    int percentage_ = 0;
    QVariant xtrVar_;
    bool loading_ = false;
    QList<QRect> segments_;
    int litDrawn_ = 0;
    int drawCount_ = 0;
    QImage surface_;
};
