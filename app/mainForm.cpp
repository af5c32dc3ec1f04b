#include "app/mainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>

#include "app/DriveList.h"
#include "app/FileListRules.h"
#include "app/FolderList.h"
#include "app/HeaderStrip.h"
#include "app/NativePath.h"
#include "app/PalettePanel.h"
#include "app/PreviewImage.h"
#include "app/Prompter.h"
#include "app/SaveDialogRules.h"
#include "app/SplitterBar.h"
#include "app/UpdateCheck.h"
#include "app/WindowPlacement.h"
#include "app/ZoomPicture.h"
#include "app/batchForm.h"
#include "app/frmAbout.h"
#include "app/modSettings.h"
#include "app/modShell.h"
#include "app/optionsForm.h"
#include "app/pbForm.h"
#include "app/updForm.h"
#include "engine/InfoLine.h"

namespace zorix {

namespace {

constexpr double kScrollBarSize = 255;  // twips
constexpr int kPreviewBorder = 2;       // pixels on each side of the preview area
constexpr qint64 kSmallFileLimit = 16384;
constexpr double kDesignLeft = 1200;  // twips
constexpr double kDesignTop = 900;

// The built-in picture for a file that cannot be shown: a page with a red cross.
QPixmap InvalidFileSymbol() {
    QPixmap symbol(40, 48);
    symbol.fill(Qt::transparent);
    QPainter painter(&symbol);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2.5, 2.5, 34, 42));
    painter.setPen(QPen(QColor(0xC0, 0x10, 0x10), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(11, 15), QPointF(28, 32));
    painter.drawLine(QPointF(28, 15), QPointF(11, 32));
    return symbol;
}

}  // namespace

mainForm::mainForm(Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), g_(DesignGeometry()) {
    setObjectName(QStringLiteral("mainForm"));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    BuildMenus();
    HookUpDialogs();
    BuildHeader();
    BuildExplorer();
    BuildPreview();
    BuildViewExtras();
    BuildWorkbench();
    client_->installEventFilter(this);
    ApplyExplorerGeometry();
    resize(TwipsToPixels(g_.scaleWidth),
           TwipsToPixels(g_.scaleHeight) + menuBar()->sizeHint().height());
    move(TwipsToPixels(kDesignLeft), TwipsToPixels(kDesignTop));
}

mainForm::~mainForm() {
    if (engine_) {
        engine_->Unsubscribe(this);
    }
    // The dock reports itself hidden while the base class closes the window, when this
    // window's own members are gone.
    if (palettePanel_) {
        palettePanel_->disconnect(this);
    }
}

void mainForm::BuildMenus() {
    mFile_ = menuBar()->addMenu(QStringLiteral("&File"));
    mFile_->setObjectName(QStringLiteral("mFile"));
    mSave_ = mFile_->addMenu(QStringLiteral("&Save as"));
    mSave_->setObjectName(QStringLiteral("mSave"));
    for (int i = kFirstSaveIndex; i <= kLastSaveIndex; ++i) {
        mSaveFile_[i] = mSave_->addAction(QString::fromLatin1(SaveFormatOf(i)->menuCaption));
        mSaveFile_[i]->setObjectName(QStringLiteral("mSaveFile%1").arg(i));
        connect(mSaveFile_[i], &QAction::triggered, this, [this, i] { SaveFile(i); });
    }
    mFile_->addSeparator();
    QAction* batch = mFile_->addAction(QStringLiteral("&Batch conversion"));
    batch->setObjectName(QStringLiteral("mBatch"));
    connect(batch, &QAction::triggered, this, [this] {
        OpenBatchWindow(prompter_, this);
        TakeFocusBack(this);
    });
    mFile_->addSeparator();
    mFile_->addAction(QStringLiteral("&Options"))->setObjectName(QStringLiteral("mOptions"));
    mFile_->addSeparator();
    QAction* exit = mFile_->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    mView_ = menuBar()->addMenu(QStringLiteral("&View"));
    mView_->setObjectName(QStringLiteral("mView"));
    mShowBorder_ = mView_->addAction(QStringLiteral("&Picture border"));
    mShowBorder_->setObjectName(QStringLiteral("mShowBorder"));
    mShowBorder_->setCheckable(true);
    connect(mShowBorder_, &QAction::triggered, this, &mainForm::ShowBorderClicked);
    mPaintAlpha_ = mView_->addAction(QStringLiteral("&RLE Bitmaps Transparency"));
    mPaintAlpha_->setObjectName(QStringLiteral("mPaintAlpha"));
    mPaintAlpha_->setCheckable(true);
    mPaintAlpha_->setChecked(true);
    connect(mPaintAlpha_, &QAction::triggered, this, &mainForm::PaintAlphaClicked);

    mHelp_ = menuBar()->addMenu(QStringLiteral("&Help"));
    mHelp_->setObjectName(QStringLiteral("mHelp"));
    mHelp_->addAction(QStringLiteral("&Check for updates"))
        ->setObjectName(QStringLiteral("mCheckUpd"));
    mHelp_->addSeparator();
    mHelp_->addAction(QStringLiteral("&About"))->setObjectName(QStringLiteral("mAbout"));
}

void mainForm::BuildHeader() {
    header_ = new HeaderStrip(client_);
    // A save button does what the menu item of the same index does.
    connect(header_, &HeaderStrip::saveClicked, this, [this](int index) {
        if (mSaveFile_[index]->isEnabled()) {
            mSaveFile_[index]->trigger();
        }
    });
}

void mainForm::BuildExplorer() {
    drive1_ = new DriveList(client_);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    connect(drive1_, &DriveList::drivePicked, this, [this] { DriveChanged(); });

    dir1_ = new FolderList(client_);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    connect(dir1_, &FolderList::pathChanged, this, [this] { FillFileList(); });

    hmove_ = new SplitterBar(Qt::Horizontal, client_);
    hmove_->setObjectName(QStringLiteral("hmove"));
    connect(hmove_, &SplitterBar::leftPressed, this, &mainForm::HmovePressed);
    connect(hmove_, &SplitterBar::moved, this, &mainForm::HmoveMoved);
    connect(hmove_, &SplitterBar::released, this, &mainForm::HmoveReleased);

    llist_ = new FileListView(client_);
    llist_->setObjectName(QStringLiteral("llist"));
    connect(llist_, &QTreeWidget::itemSelectionChanged, this, &mainForm::FileSelected);

    vmove_ = new SplitterBar(Qt::Vertical, client_);
    vmove_->setObjectName(QStringLiteral("vmove"));
    connect(vmove_, &SplitterBar::leftPressed, this, &mainForm::VmovePressed);
    connect(vmove_, &SplitterBar::moved, this, &mainForm::VmoveMoved);
    connect(vmove_, &SplitterBar::released, this, &mainForm::VmoveReleased);

    status_ = new QLabel(client_);
    status_->setObjectName(QStringLiteral("status"));
    status_->setFrameShape(QFrame::Panel);
    status_->setFrameShadow(QFrame::Sunken);
}

void mainForm::BuildPreview() {
    bkg_ = new QFrame(client_);
    bkg_->setObjectName(QStringLiteral("bkg"));
    bkg_->setFrameShape(QFrame::Panel);
    bkg_->setFrameShadow(QFrame::Sunken);
    bkg_->setLineWidth(kPreviewBorder);
    QPalette grey = bkg_->palette();
    grey.setColor(QPalette::Window, ColorOfWord(kPreviewColor));
    bkg_->setPalette(grey);
    bkg_->setAutoFillBackground(true);
    // Children are placed relative to the inner area, inside the border.
    bkgInner_ = new QWidget(bkg_);

    zoomPic_ = new ZoomPicture(bkgInner_);
    trgPIC_ = zoomPic_;
    trgPIC_->setObjectName(QStringLiteral("trgPIC"));
    trgPIC_->hide();
    trgPIC_->resize(0, 0);

    badpic_ = new QLabel(bkgInner_);
    badpic_->setObjectName(QStringLiteral("badpic"));
    badpic_->setPixmap(InvalidFileSymbol());
    badpic_->adjustSize();
    badpic_->hide();
    p_.badpic.width = PixelsToTwips(badpic_->width());
    p_.badpic.height = PixelsToTwips(badpic_->height());

    hsb_ = new QScrollBar(Qt::Horizontal, bkgInner_);
    hsb_->setObjectName(QStringLiteral("hsb"));
    vsb_ = new QScrollBar(Qt::Vertical, bkgInner_);
    vsb_->setObjectName(QStringLiteral("vsb"));
    p_.hsb.rect.height = kScrollBarSize;
    p_.vsb.rect.width = kScrollBarSize;
    for (QScrollBar* bar : {hsb_, vsb_}) {
        bar->hide();
        bar->setSingleStep(8);
        bar->setPageStep(64);
        connect(bar, &QScrollBar::valueChanged, this,
                [this, bar](int value) { ScrollChanged(bar->orientation(), value); });
    }
    corner_ = new QFrame(bkgInner_);
    corner_->setObjectName(QStringLiteral("corner"));
    corner_->setAutoFillBackground(true);
    corner_->setBackgroundRole(QPalette::Button);
    corner_->hide();
}

QAction* mainForm::mSaveFile(int index) const {
    return index >= kFirstSaveIndex && index <= kLastSaveIndex ? mSaveFile_[index] : nullptr;
}

QWidget* mainForm::btSave(int index) const {
    return header_->btSave(index);
}

// ---------------------------------------------------------------------------
// Start-up and exit

void mainForm::Startup() {
    engine_ = std::make_unique<quenda::ZorixImgEngine>();
    engine_->Subscribe(this);
    engine_->setImageBgColor(kPreviewColor);

    loading_ = true;
    LoadEngineOptions();
    ApplyEngineOptions();
    setWindowTitle(QStringLiteral("Zorix Viewer v") + RunningVersion());
    setSaveEnabled(false);

    drive1_->SelectDriveOf(QDir::currentPath());
    drive1_->setLastGoodDrive(drive1_->Drive());
    DriveChanged();
    RestoreLastFolder(dir1_->Path());
    RestoreWindowPos();
    RestoreWindowState();
    RestoreExplorerSizes();
    ApplyViewerSettings();

    loading_ = false;
    FormResize();
}

void mainForm::RestoreLastFolder(const QString& defaultFolder) {
    const QString folder = ReadSetting(QStringLiteral("LastFolder"), defaultFolder);
    if (folder.isEmpty()) {
        return;
    }
    const QFileInfo info(folder);
    if (!info.isDir() || !info.lastModified().isValid()) {
        return;
    }
    const QString previousDrive = drive1_->Drive();
    drive1_->SelectDriveOf(folder);
    if (dir1_->setPath(folder)) {
        drive1_->setLastGoodDrive(drive1_->Drive());
    } else {
        drive1_->SelectDriveOf(previousDrive);
    }
}

void mainForm::RestoreWindowPos() {
    const WindowPlacement placement = ParseWindowPos(ReadSetting(QStringLiteral("WindowPos")));
    if (placement.centre) {
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->geometry();
            move(area.x() + area.width() / 2 - width() / 2,
                 area.y() + area.height() / 2 - height() / 2);
        }
        return;
    }
    const int w = placement.width ? TwipsToPixels(*placement.width) : width();
    const int h = placement.height ? TwipsToPixels(*placement.height) : height();
    if (w > 0 && h > 0) {
        resize(w, h);
    }
    move(placement.left ? TwipsToPixels(*placement.left) : x(),
         placement.top ? TwipsToPixels(*placement.top) : y());
}

void mainForm::RestoreWindowState() {
    if (IsMaximisedState(ReadSetting(QStringLiteral("WindowState"), QStringLiteral("0")))) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void mainForm::RestoreExplorerSizes() {
    const double width =
        NumericValue(ReadSetting(QStringLiteral("ExplorerW"), QStringLiteral("0")));
    if (width > 0) {
        g_.drive.width = width;
    }
    const double height =
        NumericValue(ReadSetting(QStringLiteral("ExplorerH"), QStringLiteral("0")));
    if (height > 0) {
        g_.dir.height = height;
    }
}

void mainForm::closeEvent(QCloseEvent* event) {
    if (busy_.HoldClose(event)) {
        return;
    }
    const Prompter::Answer answer = prompter_.MessageBox(
        this, QStringLiteral("Do you realy want to exit Zorix?"), QStringLiteral("Zorix"),
        Prompter::Icon::Question, Prompter::Buttons::YesNo);
    if (answer != Prompter::Answer::Yes) {
        event->ignore();
        return;
    }
    SaveOnExit();
    event->accept();
}

void mainForm::SaveOnExit() {
    if (engine_) {
        engine_->Unsubscribe(this);
        engine_.reset();
    }
    WriteSetting(QStringLiteral("LastFolder"), dir1_->Path());
    if (!isMinimized()) {
        WriteSetting(QStringLiteral("WindowState"),
                     isMaximized() ? QStringLiteral("2") : QStringLiteral("0"));
        if (!isMaximized() && !isFullScreen()) {
            WriteSetting(QStringLiteral("WindowPos"),
                         FormatWindowPos(PixelsToTwips(width()), PixelsToTwips(height()),
                                         PixelsToTwips(x()), PixelsToTwips(y())));
        }
    }
    WriteSetting(QStringLiteral("ExplorerW"), NumberText(g_.drive.width));
    WriteSetting(QStringLiteral("ExplorerH"), NumberText(g_.dir.height));
}

// ---------------------------------------------------------------------------
// Layout

bool mainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        FormResize();
    }
    if (watched == bkgInner_ && WorkbenchEvent(event)) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void mainForm::FormResize() {
    if (loading_) {
        return;
    }
    g_.scaleWidth = PixelsToTwips(client_->width());
    g_.scaleHeight = PixelsToTwips(client_->height());
    g_.windowWidth = g_.scaleWidth;
    if (!layoutSuspended_) {
        ResizeExplorer(g_);
    }
    ApplyExplorerGeometry();
    LayoutPreview();
}

void mainForm::ApplyExplorerGeometry() {
    header_->Place(g_.topBg, g_.topStripe);
    drive1_->setGeometry(ToPixels(g_.drive));
    dir1_->setGeometry(ToPixels(g_.dir));
    hmove_->setGeometry(ToPixels(g_.hmove));
    llist_->setGeometry(ToPixels(g_.llist));
    vmove_->setGeometry(ToPixels(g_.vmove));
    bkg_->setGeometry(ToPixels(g_.bkg));
    status_->setGeometry(ToPixels(g_.status));
    bkgInner_->setGeometry(bkg_->contentsRect());
}

void mainForm::LayoutPreview() {
    ApplyFit();
    p_.outerWidth = PixelsToTwips(bkg_->width());
    p_.outerHeight = PixelsToTwips(bkg_->height());
    p_.innerWidth = PixelsToTwips(bkgInner_->width());
    p_.innerHeight = PixelsToTwips(bkgInner_->height());
    p_.image.width = PixelsToTwips(trgPIC_->width());
    p_.image.height = PixelsToTwips(trgPIC_->height());
    LayoutImage(p_);
    PlaceBars(p_);
    ApplyPreviewGeometry();
    ShowZoomField();
}

void mainForm::ApplyPreviewGeometry() {
    trgPIC_->move(TwipsToPixels(p_.image.left), TwipsToPixels(p_.image.top));
    settingBars_ = true;
    for (auto [bar, state] : {std::pair{hsb_, &p_.hsb}, std::pair{vsb_, &p_.vsb}}) {
        if (state->visible) {
            bar->setRange(state->min, state->max);
            bar->setPageStep(
                std::max(1, TwipsToPixels(bar == hsb_ ? p_.innerWidth : p_.innerHeight)));
            bar->setValue(state->value);
        }
        bar->setGeometry(ToPixels(state->rect));
        bar->setVisible(state->visible);
    }
    settingBars_ = false;
    corner_->setGeometry(ToPixels({p_.corner.left, p_.corner.top, kScrollBarSize, kScrollBarSize}));
    corner_->setVisible(p_.cornerVisible);
    badpic_->move(TwipsToPixels(p_.badpic.left), TwipsToPixels(p_.badpic.top));
}

void mainForm::ScrollChanged(Qt::Orientation orientation, int value) {
    if (settingBars_) {
        return;
    }
    if (orientation == Qt::Horizontal) {
        p_.image.left = ScrollOffset(value);
    } else {
        p_.image.top = ScrollOffset(value);
    }
    trgPIC_->move(TwipsToPixels(p_.image.left), TwipsToPixels(p_.image.top));
}

// ---------------------------------------------------------------------------
// Splitter bars

void mainForm::VmovePressed(QPointF twips) {
    grab_ = static_cast<int>(RoundHalfEven(twips.x()));
    vDrag_ = true;
    layoutSuspended_ = true;
}

void mainForm::VmoveMoved(QPointF twips) {
    if (!vDrag_) {
        return;
    }
    DragVmove(g_, twips.x() - grab_);
    FormResize();
}

void mainForm::VmoveReleased() {
    vDrag_ = false;
    layoutSuspended_ = false;
}

void mainForm::HmovePressed(QPointF twips) {
    grab_ = static_cast<int>(RoundHalfEven(twips.y()));
    hDrag_ = true;
}

void mainForm::HmoveMoved(QPointF twips) {
    if (hDrag_ && DragHmove(g_, twips.y() - grab_)) {
        ApplyExplorerGeometry();
    }
}

void mainForm::HmoveReleased() {
    if (!hDrag_) {
        return;
    }
    hDrag_ = false;
    EndHmoveDrag(g_);
    ApplyExplorerGeometry();
}

// ---------------------------------------------------------------------------
// Drives, folders and files

void mainForm::DriveChanged() {
    const QString drive = drive1_->Drive();
    // A drive keeps its current folder: the shown one, or the program's own.
    QString target = drive;
    if (!dir1_->Path().isEmpty() && drive1_->DriveOf(dir1_->Path()) == drive) {
        target = dir1_->Path();
    } else if (drive1_->DriveOf(QDir::currentPath()) == drive) {
        target = QDir::currentPath();
    }
    if (!IsDriveReady(drive) || !dir1_->setPath(target)) {
        prompter_.MessageBox(this, QStringLiteral("Drive not ready!"), QStringLiteral("Error"),
                             Prompter::Icon::Exclamation, Prompter::Buttons::Ok);
        drive1_->SelectDriveOf(drive1_->LastGoodDrive());
        return;
    }
    drive1_->setLastGoodDrive(drive);
}

void mainForm::FillFileList() {
    llist_->Fill(ListImageFiles(dir1_->Path()));
}

void mainForm::FileSelected() {
    const QList<QTreeWidgetItem*> selected = llist_->selectedItems();
    if (!selected.isEmpty()) {
        ShowImageFile(selected.first()->data(0, kKeyRole).toString());
    }
}

// ---------------------------------------------------------------------------
// Showing a file

void mainForm::ClearPreview() {
    shownPath_.clear();
    picture_.Clear();
    original_ = QImage();
    fileMap_.reset();
    if (preview_) {
        preview_.reset();
    }
    highlight_ = -1;
    zoomPic_->EndZoom();
    badpic_->hide();
    trgPIC_->hide();
    trgPIC_->clear();
    trgPIC_->resize(0, 0);
}

void mainForm::SizeImageControl() {
    const QSize shown = zoomPic_->ShownSize();
    if (shown.isEmpty()) {
        trgPIC_->resize(0, 0);
        return;
    }
    const int frame = 2 * trgPIC_->frameWidth();
    trgPIC_->resize(shown.width() + frame, shown.height() + frame);
}

void mainForm::ShowImageFile(const QString& path) {
    if (!engine_) {
        return;
    }
    ClearPreview();
    const QFileInfo info(path);
    smallFile_ = info.size() < kSmallFileLimit;
    bool loaded = false;
    {
        const BusyGuard::Operation operation(busy_);
        loaded = engine_->LoadImage(NativePath(path));
    }
    if (!loaded) {
        ShowInvalidFile();
        return;
    }
    ReadDeviceMap(path);
    SetPictureFromEngine();
    ApplyFit();
    status_->setText(QString::fromStdString(quenda::InformationLine(*engine_)));
    shownPath_ = path;
    FormResize();
    trgPIC_->show();
    setSaveEnabled(true);
}

void mainForm::ShowInvalidFile() {
    setSaveEnabled(false);
    shownPath_.clear();
    picture_.Clear();
    trgPIC_->clear();
    trgPIC_->resize(0, 0);
    trgPIC_->hide();
    FormResize();
    badpic_->show();
    status_->setText(QStringLiteral("Invalid image file"));
    UpdatePreview();
    UpdatePalettePanel();
}

// ---------------------------------------------------------------------------
// View options

void mainForm::ShowBorderClicked() {
    trgPIC_->setFrameShape(mShowBorder_->isChecked() ? QFrame::Box : QFrame::NoFrame);
    trgPIC_->setLineWidth(1);
    SizeImageControl();
    FormResize();
}

void mainForm::PaintAlphaClicked() {
    const QList<QTreeWidgetItem*> selected = llist_->selectedItems();
    if (!engine_ || !trgPIC_->isVisible() || selected.isEmpty()) {
        return;
    }
    engine_->setImageBgColor(mPaintAlpha_->isChecked() ? kPreviewColor : 0);
    ShowImageFile(selected.first()->data(0, kKeyRole).toString());
}

// ---------------------------------------------------------------------------
// Saving state and the decoding progress

bool mainForm::SaveEnabled() const {
    return mSave_->menuAction()->isEnabled();
}

void mainForm::setSaveEnabled(bool enabled) {
    mSave_->menuAction()->setEnabled(enabled);
    header_->setSaveEnabled(enabled);
}

void mainForm::SetExplorerEnabled(bool enabled) {
    if (enabled) {
        busy_.Unlock();
        return;
    }
    // The save buttons too: nothing may start a second engine call meanwhile.
    QList<QWidget*> widgets = {drive1_, dir1_, llist_};
    for (int i = kFirstSaveIndex; i <= kLastSaveIndex; ++i) {
        widgets << btSave(i);
    }
    busy_.Lock(widgets, {mFile_->menuAction(), mView_->menuAction(), mHelp_->menuAction()});
}

void mainForm::setPBVisible(bool visible) {
    if (visible) {
        if (!pb_) {
            pb_ = new pbForm(this);
        }
        pb_->Reset();
        const QRect main = frameGeometry();
        pb_->move(main.left() + main.width() / 2 - pb_->width() / 2,
                  main.top() + main.height() / 2 - pb_->height() / 2);
        pb_->show();
    } else if (pb_) {
        pb_->close();
        delete pb_;
        pb_ = nullptr;
    }
    SetExplorerEnabled(!visible);
    QCoreApplication::processEvents();
}

float mainForm::PBValue() const {
    return pb_ ? pb_->Value() : 0.0f;
}

void mainForm::setPBValue(float value) {
    if (pb_) {
        pb_->setValue(value);
    }
}

QString mainForm::PBTitle() const {
    return pb_ ? pb_->Title() : QString();
}

void mainForm::setPBTitle(const QString& text) {
    if (pb_) {
        pb_->setTitle(text);
    }
}

QString mainForm::PBAction() const {
    return pb_ ? pb_->Action() : QString();
}

void mainForm::setPBAction(const QString& text) {
    if (pb_) {
        pb_->setAction(text);
    }
}

void mainForm::RLEDecodingStarted(const std::string& fileName) {
    if (smallFile_) {
        return;
    }
    setPBVisible(true);
    setPBTitle(QStringLiteral("Decoding ") + FileNameOf(QFile::decodeName(fileName.c_str())));
    setPBAction(pbForm::PleaseWait());
}

void mainForm::RLEDecoding(const std::string& /*fileName*/, float progress) {
    if (smallFile_) {
        return;
    }
    setPBValue(progress);
    QCoreApplication::processEvents();
}

void mainForm::RLEDecodingComplete(const std::string& /*fileName*/, bool /*success*/) {
    if (!smallFile_) {
        setPBVisible(false);
    }
}

// ---------------------------------------------------------------------------
// Options, update check and about box

void mainForm::HookUpDialogs() {
    connect(mFile_->findChild<QAction*>(QStringLiteral("mOptions")), &QAction::triggered, this,
            &mainForm::OptionsClicked);
    connect(mHelp_->findChild<QAction*>(QStringLiteral("mCheckUpd")), &QAction::triggered, this,
            [this] {
                RunUpdateCheck(prompter_, this);
                TakeFocusBack(this);
            });
    connect(mHelp_->findChild<QAction*>(QStringLiteral("mAbout")), &QAction::triggered, this,
            [this] {
                ShowAbout(this);
                TakeFocusBack(this);
            });
}

void mainForm::OptionsClicked() {
    ShowOptions(this);
    ApplyEngineOptions();
    // The device preview follows the palette options.
    if (mDevicePreview_->isChecked() && !original_.isNull()) {
        UpdatePreview();
        highlight_ = -1;
        ShowShownPicture();
        UpdatePalettePanel();
    }
    TakeFocusBack(this);
}

// The engine encodes with the program-wide palette options.
void mainForm::ApplyEngineOptions() {
    if (engine_) {
        HandEngineOptions(*engine_);
    }
}

}  // namespace zorix
