#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>

#include "controls/ClickGesture.h"
#include "controls/VkHoverControl.h"

// Owner-drawn push button: plain or gel face, light strip, separator cuts, bottom line,
// flat or 3D border with an optional rounded shape, caption with access key, outline or
// shadow in one of nine positions beside an optional icon, hover colours, a tooltip and
// five themes. Colours are 0x00BBGGRR words; 0x800000nn names a system colour.
// The host's tooltip text is the widget's toolTip(); ExProp carries tooltip options or a
// "special=" command.
class VkButton : public VkHoverControl {
    Q_OBJECT
    Q_PROPERTY(QString ExProp READ ExProp WRITE SetExProp)
    Q_PROPERTY(QImage retObj READ retObj)
    Q_PROPERTY(int GradientStyle READ GradientStyle WRITE SetGradientStyle)
    Q_PROPERTY(int BorderAppearence READ BorderAppearence WRITE SetBorderAppearence)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int CornerStyle READ CornerStyle WRITE SetCornerStyle)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(int Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool LightEffect READ LightEffect WRITE SetLightEffect)
    Q_PROPERTY(bool BottomLine READ BottomLine WRITE SetBottomLine)
    Q_PROPERTY(bool HandPointer READ HandPointer WRITE SetHandPointer)
    Q_PROPERTY(int CutStyle READ CutStyle WRITE SetCutStyle)
    Q_PROPERTY(int CutStrength READ CutStrength WRITE SetCutStrength)
    Q_PROPERTY(uint ColorA READ ColorA WRITE SetColorA)
    Q_PROPERTY(uint ColorB READ ColorB WRITE SetColorB)
    Q_PROPERTY(int Outline READ Outline WRITE SetOutline)
    Q_PROPERTY(uint OutlineColor READ OutlineColor WRITE SetOutlineColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(uint HoverColorA READ HoverColorA WRITE SetHoverColorA)
    Q_PROPERTY(uint HoverColorB READ HoverColorB WRITE SetHoverColorB)
    Q_PROPERTY(uint HoverForecolor READ HoverForecolor WRITE SetHoverForecolor)
    Q_PROPERTY(uint HoverOutline READ HoverOutline WRITE SetHoverOutline)
    Q_PROPERTY(QPixmap Icon READ Icon WRITE SetIcon)
    Q_PROPERTY(int IconAlignment READ IconAlignment WRITE SetIconAlignment)
    Q_PROPERTY(int IconAdjustX READ IconAdjustX WRITE SetIconAdjustX)
    Q_PROPERTY(int IconAdjustY READ IconAdjustY WRITE SetIconAdjustY)
    Q_PROPERTY(int Theme READ Theme WRITE SetTheme)
    Q_PROPERTY(bool Default READ IsDefault WRITE SetDefault)

  public:
    enum VKB_ABSALIGNMENT {
        aaTopLeft = 0,
        aaTopRight = 1,
        aaTopCenter = 2,
        aaMiddleLeft = 3,
        aaMiddleRight = 4,
        aaMiddleCenter = 5,
        aaBottomLeft = 6,
        aaBottomRight = 7,
        aaBottomCenter = 8
    };
    Q_ENUM(VKB_ABSALIGNMENT)
    enum VKB_POSITION { posNeither = 0, posLeft = 1, posRight = 2, posBoth = 3 };
    Q_ENUM(VKB_POSITION)
    enum VKB_STRENGTH { stSoft = 0, stHard = 1 };
    Q_ENUM(VKB_STRENGTH)
    enum VKB_BUTTONOUTLINESTYLE {
        olNone = 0,
        olRegular = 1,
        olShadow = 2,
        olHoverRegular = 3,
        olHoverShadow = 4
    };
    Q_ENUM(VKB_BUTTONOUTLINESTYLE)
    enum VKB_THEME {
        thmCUSTOM = 0,
        thmSky3D = 1,
        thmSkyFlat = 2,
        thmSilver3D = 3,
        thmCandy3D = 4,
        thmOfficeBar = 5
    };
    Q_ENUM(VKB_THEME)
    enum VKB_GTYPE { gtPlain = 0, gtGel = 1 };
    Q_ENUM(VKB_GTYPE)
    enum VKB_APPEARANCE { apFlat = 0, ap3D = 1 };
    Q_ENUM(VKB_APPEARANCE)
    enum VKB_BORDERSTYLE { bsNone = 0, bsFixedSingle = 1 };
    Q_ENUM(VKB_BORDERSTYLE)
    enum VKB_CORNERSTYLE { csSquare = 0, csRound = 1 };
    Q_ENUM(VKB_CORNERSTYLE)

    explicit VkButton(QWidget* parent = nullptr);
    ~VkButton() override;

    // A new button placed by a host: theme thmSilver3D and the host's name as caption
    // ("Caption" when the name is empty).
    void InitNew(const QString& hostName);

    QString ExProp() const { return exProp_; }
    void SetExProp(const QString& exProp);
    QImage retObj() const { return retObj_; }
    int GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(int style);
    int BorderAppearence() const { return appearance_; }
    void SetBorderAppearence(int appearance);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int CornerStyle() const { return cornerStyle_; }
    void SetCornerStyle(int style);
    uint BorderColor() const { return borderColor_; }
    void SetBorderColor(uint color);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QFont Font() const { return font_; }
    void SetFont(const QFont& font);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool LightEffect() const { return lightEffect_; }
    void SetLightEffect(bool on);
    bool BottomLine() const { return bottomLine_; }
    void SetBottomLine(bool on);
    bool HandPointer() const { return handPointer_; }
    void SetHandPointer(bool on);
    int CutStyle() const { return cutStyle_; }
    void SetCutStyle(int style);
    int CutStrength() const { return cutStrength_; }
    void SetCutStrength(int strength);
    uint ColorA() const { return colorA_; }
    void SetColorA(uint color);
    uint ColorB() const { return colorB_; }
    void SetColorB(uint color);
    int Outline() const { return outline_; }
    void SetOutline(int style);
    uint OutlineColor() const { return outlineColor_; }
    void SetOutlineColor(uint color);
    uint ForeColor() const { return foreColor_; }
    void SetForeColor(uint color);
    uint HoverColorA() const { return hoverColorA_; }
    void SetHoverColorA(uint color);
    uint HoverColorB() const { return hoverColorB_; }
    void SetHoverColorB(uint color);
    uint HoverForecolor() const { return hoverForeColor_; }
    void SetHoverForecolor(uint color);
    uint HoverOutline() const { return hoverOutline_; }
    void SetHoverOutline(uint color);
    QPixmap Icon() const { return icon_; }
    void SetIcon(const QPixmap& icon);
    int IconAlignment() const { return iconAlignment_; }
    void SetIconAlignment(int alignment);
    int IconAdjustX() const { return iconAdjustX_; }
    void SetIconAdjustX(int dx);
    int IconAdjustY() const { return iconAdjustY_; }
    void SetIconAdjustY(int dy);
    int Theme() const { return theme_; }
    void SetTheme(int theme);
    // The host's default button is framed in black like a focused one.
    bool IsDefault() const { return default_; }
    void SetDefault(bool isDefault);

    // The caption as printed ("&&" -> "&", access-key marker removed), the index of the
    // underlined character in it (-1: none) and the access key (null: none).
    QString PrintedCaption() const;
    int AccessKeyIndex() const;
    QChar AccessKey() const;

    bool Pressed() const { return pressed_; }
    // Paints the surface as the widget shows it now.
    QImage Render() const;

    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkButton>& Properties();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void MouseUp(int Button, int Shift, float X, float Y);
    void MouseDown(int Button, int Shift, float X, float Y);

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void ShowHover() override { Repaint(); }

  private:
    struct PaintState {
        bool hovering = false;
        bool pressed = false;
        bool focused = false;
    };

    const PropertyRows& Rows() const override;
    void Refresh() override;
    void AfterReading() override;
    void ApplyTheme(int theme);
    void RunCommand(const QString& command);
    void UpdateAccessKey();
    void UpdateCursor();
    void UpdateShape();
    void EnforceMinimumSize();
    QSize TextExtent() const;
    void Repaint();

    // Painting steps, in order, on an image of the client size.
    QImage Paint(const PaintState& state) const;
    void PaintFace(QImage& image, const PaintState& state) const;
    void PaintLightStrip(QImage& image) const;
    void PaintCuts(QImage& image) const;
    void PaintCut(QImage& image, int x) const;
    void PaintBottomLine(QImage& image) const;
    void PaintBorder(QPainter& painter, const PaintState& state) const;
    void PaintRoundCorners(QPainter& painter, const QColor& color) const;
    void PaintContent(QPainter& painter, const PaintState& state) const;
    void PaintCaption(QPainter& painter, const QRect& area, const PaintState& state) const;

    PaintState Current() const;

    // Defaults come from the property table.
    uint colorA_{};
    uint colorB_{};
    uint hoverColorA_{};
    uint hoverColorB_{};
    uint foreColor_{};
    uint hoverForeColor_{};
    uint outlineColor_{};
    uint hoverOutline_{};
    uint borderColor_{};
    QPixmap icon_;
    int alignment_{};
    int iconAlignment_{};
    QString caption_{};
    int cutStrength_{};
    int cutStyle_{};
    bool lightEffect_{};
    bool bottomLine_{};
    int cornerStyle_{};
    bool autoSize_{};
    int outline_{};
    bool handPointer_{};
    QFont font_;
    int iconAdjustX_{};
    int iconAdjustY_{};
    int appearance_{};
    int borderStyle_{};
    int gradientStyle_{};
    QString exProp_;
    int theme_ = thmCUSTOM;
    bool default_ = false;

    bool pressed_ = false;
    bool focused_ = false;
    ClickGesture click_;
    int shortcutId_ = 0;
    QSize paintedSize_;
    QImage retObj_;
    QImage pendingFake_;  // the fakeclick look, shown by the next paint
    QImage fakeLook_;     // shown until the control repaints itself
};
