// The main window's workbench for skin makers: zoom, the pixel inspector, the
// palette panel and the device preview. None of them changes what the window shows
// until the user asks for it; the information line keeps its text throughout.
#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

#include "app/PalettePanel.h"
#include "app/PixelInspector.h"
#include "app/PreviewImage.h"
#include "app/ZoomPicture.h"
#include "app/ZoomRules.h"
#include "app/mainForm.h"
#include "engine/RLEIndexMap.h"
#include "imaging/c32bppDIB.h"

namespace zorix {

namespace {

// Bytes of a device bitmap the inspector reads; larger files are not inspected.
constexpr qint64 kLargestInspectedFile = qint64{1} << 30;

QAction* AddViewAction(QMenu* menu, const QString& caption, const QString& name,
                       const QList<QKeySequence>& keys) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcuts(keys);
    return action;
}

QLabel* StatusField(const QString& name, QWidget* parent) {
    auto* field = new QLabel(parent);
    field->setObjectName(name);
    field->setFrameShape(QFrame::Panel);
    field->setFrameShadow(QFrame::Sunken);
    field->setAutoFillBackground(true);
    field->hide();
    return field;
}

void SetField(QLabel* field, const QString& text) {
    field->setText(text);
    field->setVisible(!text.isEmpty());
}

// The picture with every pixel not of `entry` dimmed, so the entry's pixels stand out.
QImage Highlighted(const QImage& picture, const quenda::RLEIndexMap& map, int entry) {
    if (picture.width() != map.width || picture.height() != map.height) {
        return picture;
    }
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (map.IndexAt(x, y) != entry) {
                const QRgb c = row[x];
                row[x] = qRgb(qRed(c) / 4 + 48, qGreen(c) / 4 + 48, qBlue(c) / 4 + 48);
            }
        }
    }
    return out;
}

}  // namespace

void mainForm::BuildWorkbench() {
    mView_->addSeparator();
    mZoomIn_ = AddViewAction(
        mView_, QStringLiteral("Zoom &in"), QStringLiteral("mZoomIn"),
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    mZoomOut_ = AddViewAction(mView_, QStringLiteral("Zoom &out"), QStringLiteral("mZoomOut"),
                              {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    mActualSize_ =
        AddViewAction(mView_, QStringLiteral("&Actual size"), QStringLiteral("mActualSize"),
                      {QKeySequence(Qt::CTRL | Qt::Key_0)});
    connect(mZoomIn_, &QAction::triggered, this, [this] { ZoomTo(ZoomIn(ShownScale())); });
    connect(mZoomOut_, &QAction::triggered, this, [this] { ZoomTo(ZoomOut(ShownScale())); });
    connect(mActualSize_, &QAction::triggered, this, [this] { ZoomTo(1); });

    mView_->addSeparator();
    palettePanel_ = new PalettePanel(this);
    addDockWidget(Qt::RightDockWidgetArea, palettePanel_);
    palettePanel_->hide();
    mPalette_ = AddViewAction(mView_, QStringLiteral("&Palette"), QStringLiteral("mPalette"),
                              {QKeySequence(Qt::Key_F9)});
    mPalette_->setCheckable(true);
    connect(mPalette_, &QAction::toggled, palettePanel_, &QWidget::setVisible);
    connect(palettePanel_, &QDockWidget::visibilityChanged, this, [this](bool) {
        // Closed by its own button, or shown: the check mark follows.
        mPalette_->setChecked(!palettePanel_->isHidden());
        UpdatePalettePanel();
    });
    connect(palettePanel_, &PalettePanel::entryClicked, this, &mainForm::HighlightEntry);

    mDevicePreview_ = AddViewAction(mView_, QStringLiteral("&Device preview"),
                                    QStringLiteral("mDevicePreview"), {QKeySequence(Qt::Key_F8)});
    mDevicePreview_->setCheckable(true);
    connect(mDevicePreview_, &QAction::triggered, this, [this] {
        UpdatePreview();
        highlight_ = -1;  // the other picture has its own palette
        ShowShownPicture();
        UpdatePalettePanel();
    });

    BuildStatusFields();
    bkgInner_->setMouseTracking(true);
    // Installed after the scroller, so Ctrl+wheel reaches the zoom first.
    bkgInner_->installEventFilter(this);
}

void mainForm::BuildStatusFields() {
    zoomField_ = StatusField(QStringLiteral("zoomField"), status_);
    previewField_ = StatusField(QStringLiteral("previewField"), status_);
    pixelField_ = StatusField(QStringLiteral("pixelField"), status_);
    // The fields sit at the right end of the information line; its text stays as it is.
    auto* fields = new QHBoxLayout(status_);
    fields->setSizeConstraint(QLayout::SetNoConstraint);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setSpacing(2);
    fields->addStretch(1);
    fields->addWidget(previewField_);
    fields->addWidget(pixelField_);
    fields->addWidget(zoomField_);
}

// ---------------------------------------------------------------------------
// Zoom

bool mainForm::Zoomed() const {
    return zoomChosen_ && zoom_ != 1;
}

double mainForm::ShownScale() const {
    const QSize shown = zoomPic_->ShownSize();
    if (picture_.IsNull() || shown.isEmpty()) {
        return zoomChosen_ ? zoom_ : 1;
    }
    if (Zoomed()) {
        return zoom_;
    }
    return static_cast<double>(shown.width()) / picture_.Size().width();
}

void mainForm::ShowZoomField() {
    const double scale = ShownScale();
    SetField(zoomField_,
             picture_.IsNull() || std::abs(scale - 1) < 1e-9 ? QString() : ZoomText(scale));
}

void mainForm::ZoomTo(double scale, std::optional<QPoint> anchor) {
    scale = std::clamp(scale, kMinZoom, kMaxZoom);
    const QPoint at = anchor.value_or(QPoint(bkgInner_->width() / 2, bkgInner_->height() / 2));
    const QRect before = trgPIC_->geometry();
    zoomChosen_ = true;
    zoom_ = scale;
    // A chosen zoom ends fitting for this session; the stored choice stays.
    mFitWindow_->setChecked(false);
    FormResize();
    if (picture_.IsNull() || before.isEmpty()) {
        return;
    }
    // Only a shown bar places the picture; without one it stays centred.
    const QRect after = trgPIC_->geometry();
    if (!hsb_->isHidden()) {
        hsb_->setValue(AnchoredScroll(at.x(), before.x(), before.width(), after.width()));
    }
    if (!vsb_->isHidden()) {
        vsb_->setValue(AnchoredScroll(at.y(), before.y(), before.height(), after.height()));
    }
}

// ---------------------------------------------------------------------------
// Mouse over the view: Ctrl+wheel zooms, moving inspects

bool mainForm::WorkbenchEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (!wheel->modifiers().testFlag(Qt::ControlModifier) || picture_.IsNull()) {
                return false;
            }
            const int notches = wheel->angleDelta().y();
            if (notches != 0) {
                const double scale = notches > 0 ? ZoomIn(ShownScale()) : ZoomOut(ShownScale());
                ZoomTo(scale, wheel->position().toPoint());
            }
            return true;
        }
        case QEvent::MouseMove:
            ShowPixelAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            return false;
        case QEvent::Leave:
            SetField(pixelField_, QString());
            return false;
        default:
            return false;
    }
}

QString mainForm::InspectAt(QPoint viewPoint) const {
    if (picture_.IsNull() || !engine_ || trgPIC_->isHidden()) {
        return QString();
    }
    const QPoint inPicture = viewPoint - trgPIC_->pos() - trgPIC_->contentsRect().topLeft();
    const std::optional<QPoint> pixel = PixelAt(inPicture, zoomPic_->ShownSize(), picture_.Size());
    if (!pixel) {
        return QString();
    }
    if (const quenda::RLEIndexMap* map = ShownMap()) {
        return DevicePixelText(*map, *pixel);
    }
    const quenda::c32bppDIB* image = engine_->Image();
    return image ? OrdinaryPixelText(*image, *pixel) : QString();
}

void mainForm::ShowPixelAt(QPoint viewPoint) {
    SetField(pixelField_, InspectAt(viewPoint));
}

// ---------------------------------------------------------------------------
// The shown picture: original or device preview, with a highlighted entry

const quenda::RLEIndexMap* mainForm::ShownMap() const {
    if (preview_ && preview_->success) {
        return &preview_->map;
    }
    return fileMap_ ? &*fileMap_ : nullptr;
}

void mainForm::ReadDeviceMap(const QString& path) {
    fileMap_.reset();
    if (!engine_ || engine_->ImageType() != quenda::IL_BMP_RL) {
        return;
    }
    QFile file(path);
    if (file.size() > kLargestInspectedFile || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.readAll();
    quenda::RLEIndexMapResult map = quenda::ReadRLEIndexMap(std::span<const uint8_t>(
        reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
    if (map.success && map.map.width == engine_->ImageWidth() &&
        map.map.height == engine_->ImageHeight()) {
        fileMap_ = std::move(map.map);
    }
}

void mainForm::SetPictureFromEngine() {
    original_ = EnginePicture(*engine_);
    highlight_ = -1;
    UpdatePreview();
    picture_.Set(preview_ && preview_->success ? preview_->picture : original_);
    UpdatePalettePanel();
}

void mainForm::UpdatePreview() {
    preview_.reset();
    const quenda::c32bppDIB* image = engine_ ? engine_->Image() : nullptr;
    if (!mDevicePreview_->isChecked() || original_.isNull() || !image) {
        SetField(previewField_, QString());
        return;
    }
    const quenda::RLEEncodeOptions options{engine_->RLEReductionMode(), engine_->RLEDither()};
    preview_ = MakeDevicePreview(*image, engine_->RLEColorAccuracy(), engine_->RLEMaxPalleteSize(),
                                 engine_->ImageBgColor(), original_, options);
    SetField(previewField_, DevicePreviewText(*preview_));
}

void mainForm::ShowShownPicture() {
    if (original_.isNull()) {
        return;
    }
    const QImage& base = preview_ && preview_->success ? preview_->picture : original_;
    const quenda::RLEIndexMap* map = ShownMap();
    if (highlight_ >= 0 && (!map || static_cast<size_t>(highlight_) >= map->palette.size())) {
        highlight_ = -1;
    }
    picture_.Set(highlight_ >= 0 ? Highlighted(base, *map, highlight_) : base);
    // Flipping between the views keeps the place the user was looking at.
    const int h = hsb_->value();
    const int v = vsb_->value();
    ApplyFit();
    FormResize();
    if (!hsb_->isHidden()) {
        hsb_->setValue(h);
    }
    if (!vsb_->isHidden()) {
        vsb_->setValue(v);
    }
}

void mainForm::HighlightEntry(int index) {
    highlight_ = index;
    ShowShownPicture();
}

void mainForm::UpdatePalettePanel() {
    if (!palettePanel_ || palettePanel_->isHidden()) {
        return;
    }
    const quenda::c32bppDIB* image = engine_ ? engine_->Image() : nullptr;
    if (original_.isNull() || !image) {
        palettePanel_->ShowNothing();
    } else if (const quenda::RLEIndexMap* map = ShownMap()) {
        palettePanel_->ShowPalette(map->palette, PaletteUseCounts(*map));
    } else {
        palettePanel_->ShowCounts(CountColors(*image));
    }
}

}  // namespace zorix
