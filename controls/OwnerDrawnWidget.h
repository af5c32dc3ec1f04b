#pragma once

#include <QFont>
#include <QImage>

#include "controls/VkHoverControl.h"

// What the caption-style controls share: a caption in a font and colour on a background,
// sized to its content on request, a shape cut out of the rendered surface by a mask
// colour, and the hover signals and tooltip, whose options ExProp carries. Colours are
// 0x00BBGGRR words; 0x800000nn names a system colour.
class OwnerDrawnWidget : public VkHoverControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(uint MaskColor READ MaskColor WRITE SetMaskColor)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE SetUseMaskColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(QString ExProp READ ExProp WRITE SetExProp)

  public:
    // A new control placed by a host: the caption is the host's name for it.
    void InitNew(const QString& hostName);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption) { StoreField(caption_, caption); }
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment) { SetField(alignment_, alignment); }
    QFont Font() const { return font_; }
    void SetFont(const QFont& font) { StoreField(font_, font); }
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint color) { StoreField(backColor_, color); }
    uint ForeColor() const { return foreColor_; }
    void SetForeColor(uint color) { StoreField(foreColor_, color); }
    uint MaskColor() const { return maskColor_; }
    void SetMaskColor(uint color) { StoreField(maskColor_, color); }
    bool UseMaskColor() const { return useMask_; }
    void SetUseMaskColor(bool use) { StoreField(useMask_, use); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize) { StoreField(autoSize_, autoSize); }
    QString ExProp() const { return exProp_; }
    void SetExProp(const QString& exProp);

    // The drawn surface.
    QImage Image() const { return Render(); }

  protected:
    using VkHoverControl::VkHoverControl;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // The look of the whole control at its current size.
    virtual QImage Render() const = 0;
    // The size AutoSize gives the control.
    virtual QSize FittedSize() const = 0;

    // A new look needs a new shape.
    void Refresh() override;
    void AfterReading() override;
    void Redraw();

    // Defaults come from the control's property table.
    QString caption_;
    int alignment_{};
    QFont font_;
    uint backColor_{};
    uint foreColor_{};
    uint maskColor_{};
    bool useMask_{};
    bool autoSize_{};
    QString exProp_;

  private:
    // Without a mask the whole rectangle is the shape; with one, the shape is made
    // once per look from the pixels that are not the mask colour.
    void ApplyShape();

    bool shapeApplied_ = false;
};
