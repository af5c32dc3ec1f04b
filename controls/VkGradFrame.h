#pragma once

#include <QFont>

#include "controls/ClickGesture.h"
#include "controls/VkControl.h"

// A container whose surface is a two-colour gradient, with an optional flat or etched
// border and an optional caption box in one of its corners. Child widgets placed on it
// are drawn over the gradient.
class VkGradFrame : public VkControl {
    Q_OBJECT
    Q_PROPERTY(uint ColorA READ ColorA WRITE SetColorA)
    Q_PROPERTY(uint ColorB READ ColorB WRITE SetColorB)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int CaptionAlignment READ CaptionAlignment WRITE SetCaptionAlignment)
    Q_PROPERTY(bool CaptionTextCentered READ CaptionTextCentered WRITE SetCaptionTextCentered)
    Q_PROPERTY(int CaptionWidth READ CaptionWidth WRITE SetCaptionWidth)
    Q_PROPERTY(int CaptionHeight READ CaptionHeight WRITE SetCaptionHeight)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)

  public:
    enum GF_ORIENTATION { orHorizontal = 0, orVertical = 1 };
    Q_ENUM(GF_ORIENTATION)
    enum GF_APPEARANCE { apFlat = 0, ap3D = 1 };
    Q_ENUM(GF_APPEARANCE)
    enum GF_BORDERSTYLE { bsNone = 0, bsFixedSingle = 1 };
    Q_ENUM(GF_BORDERSTYLE)
    enum GF_CAPALIGN { caTopLeft = 0, caTopRight = 1, caBottomLeft = 2, caBottomRight = 3 };
    Q_ENUM(GF_CAPALIGN)

    explicit VkGradFrame(QWidget* parent = nullptr);
    ~VkGradFrame() override;

    // A new control placed by a host: the caption is the host's name for it.
    void InitNew(const QString& hostName);

    uint ColorA() const { return colorA_; }
    void SetColorA(uint color) { StoreField(colorA_, color); }
    uint ColorB() const { return colorB_; }
    void SetColorB(uint color) { StoreField(colorB_, color); }
    uint BorderColor() const { return borderColor_; }
    void SetBorderColor(uint color) { StoreField(borderColor_, color); }
    uint ForeColor() const { return foreColor_; }
    void SetForeColor(uint color) { StoreField(foreColor_, color); }
    int Orientation() const { return orientation_; }
    void SetOrientation(int orientation) { SetField(orientation_, orientation); }
    int Appearance() const { return appearance_; }
    void SetAppearance(int appearance) { SetField(appearance_, appearance); }
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style) { SetField(borderStyle_, style); }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption) { StoreField(caption_, caption); }
    int CaptionAlignment() const { return captionAlignment_; }
    void SetCaptionAlignment(int alignment) { SetField(captionAlignment_, alignment); }
    bool CaptionTextCentered() const { return captionCentered_; }
    void SetCaptionTextCentered(bool centered) { StoreField(captionCentered_, centered); }
    int CaptionWidth() const { return captionWidth_; }
    void SetCaptionWidth(int width);
    int CaptionHeight() const { return captionHeight_; }
    void SetCaptionHeight(int height);
    QFont Font() const { return font_; }
    void SetFont(const QFont& font) { StoreField(font_, font); }

    // The drawn surface, for hosts and tests.
    QImage Image() const;

    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkGradFrame>& Properties();

    QSize sizeHint() const override { return QSize(200, 100); }

  signals:
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void Resize();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    const PropertyRows& Rows() const override;
    void Refresh() override { update(); }
    void Draw(QPainter& painter) const;
    void DrawFrame(QPainter& painter, const QRect& box) const;
    void DrawCaption(QPainter& painter) const;
    QRect CaptionBox() const;

    // Defaults come from the property table.
    uint colorA_{};
    uint colorB_{};
    uint borderColor_{};
    uint foreColor_{};
    int orientation_{};
    int appearance_{};
    int borderStyle_{};
    QString caption_;
    int captionAlignment_{};
    bool captionCentered_{};
    int captionWidth_{};
    int captionHeight_{};
    QFont font_;
    ClickGesture click_;
};
