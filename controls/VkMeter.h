#pragma once

#include <QList>
#include <QRect>

#include "controls/VkRangeControl.h"

// Segmented level meter: a value between Min and Max lights a number of equal segments;
// lit segments take the normal, warning or peak colour by their position, unlit ones
// ColorOff.
class VkMeter : public VkRangeControl {
    Q_OBJECT
    Q_PROPERTY(uint ColorL0 READ ColorL0 WRITE SetColorL0)
    Q_PROPERTY(uint ColorL1 READ ColorL1 WRITE SetColorL1)
    Q_PROPERTY(uint ColorL2 READ ColorL2 WRITE SetColorL2)
    Q_PROPERTY(uint ColorOff READ ColorOff WRITE SetColorOff)
    Q_PROPERTY(int Steps READ Steps WRITE SetSteps)
    Q_PROPERTY(int Level1StartPc READ Level1StartPc WRITE SetLevel1StartPc)
    Q_PROPERTY(int Level2StartPc READ Level2StartPc WRITE SetLevel2StartPc)

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
    void SetColorL0(uint color) { StoreField(colorL0_, color); }
    uint ColorL1() const { return colorL1_; }
    void SetColorL1(uint color) { StoreField(colorL1_, color); }
    uint ColorL2() const { return colorL2_; }
    void SetColorL2(uint color) { StoreField(colorL2_, color); }
    uint ColorOff() const { return colorOff_; }
    void SetColorOff(uint color) { StoreField(colorOff_, color); }
    int Steps() const { return steps_; }
    void SetSteps(int steps) { SetField(steps_, steps); }
    int Level1StartPc() const { return level1_; }
    void SetLevel1StartPc(int percent) { SetField(level1_, percent); }
    int Level2StartPc() const { return level2_; }
    void SetLevel2StartPc(int percent) { SetField(level2_, percent); }

    // Number of lit segments in the last drawing, and how many drawings were made.
    int LitCount() const { return litDrawn_; }
    int DrawCount() const { return drawCount_; }
    // The colour segment i (1-based) takes when lit is the number of lit segments.
    quint32 SegmentColor(int i, int lit) const;
    // Segment rectangles of the current layout, first segment first.
    const QList<QRect>& Segments() const { return segments_; }

    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkMeter>& Properties();

    QSize sizeHint() const override { return QSize(20, 120); }

  private:
    const PropertyRows& Rows() const override;
    // Layout depends only on size, frame, orientation and steps, so laying out again
    // after any change is the same as laying out after those alone.
    void Refresh() override;
    void ShowValue() override;
    int FrameWidth() const override;
    int ComputeLit() const;
    void Layout();
    void Redraw();

    // Defaults come from the property table.
    uint colorL0_{};
    uint colorL1_{};
    uint colorL2_{};
    uint colorOff_{};
    int steps_{};
    int level1_{};
    int level2_{};
    QList<QRect> segments_;
    int litDrawn_ = 0;
    int drawCount_ = 0;
};
