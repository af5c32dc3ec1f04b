// The main window's viewer additions: scrolling the picture with the wheel, a drag
// and the keyboard; fitting it to the window; reloading the lists; the window's
// minimum size and its place on a screen; opening a path given at start or dropped.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include "app/DriveList.h"
#include "app/DropOpener.h"
#include "app/FolderList.h"
#include "app/PreviewScroller.h"
#include "app/SplitterBar.h"
#include "app/StartLocation.h"
#include "app/WindowLimits.h"
#include "app/ZoomPicture.h"
#include "app/ZoomRules.h"
#include "app/mainForm.h"
#include "app/modSettings.h"

namespace zorix {

namespace {

const QString kFitSetting = QStringLiteral("FitToWindow");

// The folder itself when it can still be listed, else the nearest one above it.
QString ExistingFolder(const QString& folder) {
    QDir dir(folder);
    while (!dir.exists() && dir.cdUp()) {
    }
    return dir.exists() ? dir.absolutePath() : QString();
}

}  // namespace

void mainForm::BuildViewExtras() {
    // The picture and the symbol let the view under them take the mouse.
    trgPIC_->setAttribute(Qt::WA_TransparentForMouseEvents);
    badpic_->setAttribute(Qt::WA_TransparentForMouseEvents);
    bkgInner_->setObjectName(QStringLiteral("view"));
    new PreviewScroller(bkgInner_, hsb_, vsb_);

    mView_->addSeparator();
    mFitWindow_ = mView_->addAction(QStringLiteral("&Fit to window"));
    mFitWindow_->setObjectName(QStringLiteral("mFitWindow"));
    mFitWindow_->setCheckable(true);
    connect(mFitWindow_, &QAction::triggered, this, &mainForm::FitToWindowClicked);
    mView_->addSeparator();
    mRefresh_ = mView_->addAction(QStringLiteral("&Refresh"));
    mRefresh_->setObjectName(QStringLiteral("mRefresh"));
    mRefresh_->setShortcut(QKeySequence(Qt::Key_F5));
    connect(mRefresh_, &QAction::triggered, this, &mainForm::RefreshLists);

    connect(llist_, &FileListView::selectedItemClicked, this,
            [this](QTreeWidgetItem* item) { ShowImageFile(item->data(0, kKeyRole).toString()); });
    // The folder list's height sets how short the window may get.
    connect(hmove_, &SplitterBar::released, this, &mainForm::UpdateMinimumSize);
    connect(vmove_, &SplitterBar::released, this, &mainForm::UpdateMinimumSize);
    new DropOpener(this, [this](const QString& path) { return OpenLocation(path); });
}

void mainForm::ApplyViewerSettings() {
    // Read without a default, so a first start stores nothing new.
    mFitWindow_->setChecked(ReadSetting(kFitSetting) == QLatin1String("1"));
    UpdateMinimumSize();
    KeepWindowOnScreen();
}

// ---------------------------------------------------------------------------
// Fit to window

bool mainForm::FitToWindow() const {
    return mFitWindow_->isChecked();
}

void mainForm::FitToWindowClicked() {
    // Fitting, or its end, replaces any zoom chosen before.
    zoomChosen_ = false;
    zoom_ = 1;
    WriteSetting(kFitSetting, FitToWindow() ? QStringLiteral("1") : QStringLiteral("0"));
    FormResize();
}

QSize mainForm::FitArea() const {
    const int frame = 2 * trgPIC_->frameWidth();
    return {std::max(0, bkgInner_->width() - frame), std::max(0, bkgInner_->height() - frame)};
}

void mainForm::ApplyFit() {
    if (picture_.IsNull()) {
        return;
    }
    if (Zoomed()) {
        const QSize size = ZoomedSize(picture_.Size(), zoom_);
        const bool changed = !zoomPic_->IsZoomed() || zoomPic_->ShownSize() != size;
        zoomPic_->ShowZoomed(picture_.Image(), size);
        if (changed) {
            SizeImageControl();
        }
        return;
    }
    zoomPic_->EndZoom();
    const QPixmap& shown = picture_.Shown(FitToWindow(), FitArea());
    if (trgPIC_->pixmap().cacheKey() != shown.cacheKey()) {
        trgPIC_->setPixmap(shown);
        SizeImageControl();
    }
}

// ---------------------------------------------------------------------------
// Refresh

void mainForm::RefreshLists() {
    if (!llist_->isEnabled()) {
        return;  // an operation holds the explorer
    }
    const QString selected = llist_->SelectedKey();
    const QString folder = ExistingFolder(dir1_->Path());
    drive1_->Refresh();
    drive1_->SelectDriveOf(folder.isEmpty() ? dir1_->Path() : folder);
    const QString before = dir1_->Path();
    if (!folder.isEmpty() && dir1_->setPath(folder) && dir1_->Path() != before) {
        // A new folder filled the list already.
        drive1_->setLastGoodDrive(drive1_->Drive());
    } else {
        FillFileList();
    }
    if (!selected.isEmpty()) {
        llist_->SelectQuietly(selected);
    }
}

// ---------------------------------------------------------------------------
// Window limits

void mainForm::UpdateMinimumSize() {
    const QWidget* lastButton = btSave(kLastSaveIndex);
    const double headerRight =
        lastButton ? PixelsToTwips(lastButton->x() + lastButton->width()) : 0;
    const TwipSize least = MinimumInnerSize(g_, headerRight);
    QSize size(TwipsToPixels(least.width), TwipsToPixels(least.height));
    // Never more than a screen can hold.
    if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen()) {
        size = size.boundedTo(where->availableGeometry().size() -
                              QSize(0, menuBar()->sizeHint().height()));
    }
    client_->setMinimumSize(size);
}

void mainForm::KeepWindowOnScreen() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        return;
    }
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << screen->availableGeometry();
    }
    const QRect now(pos(), size());
    const QRect kept = KeepOnScreen(now, screens, primary->availableGeometry());
    if (kept != now) {
        resize(kept.size());
        move(kept.topLeft());
    }
}

// ---------------------------------------------------------------------------
// A path from the command line or a drop

bool mainForm::OpenLocation(const QString& pathOrUrl) {
    // Nothing opens while an operation holds the explorer.
    if (!engine_ || !llist_->isEnabled()) {
        return false;
    }
    const StartLocation where = LocationOf(pathOrUrl);
    if (!where.IsValid()) {
        return false;
    }
    const QString previousDrive = drive1_->Drive();
    drive1_->SelectDriveOf(where.folder);
    const QString before = dir1_->Path();
    if (!dir1_->setPath(where.folder)) {
        drive1_->SelectDriveOf(previousDrive);
        return false;
    }
    drive1_->setLastGoodDrive(drive1_->Drive());
    if (dir1_->Path() == before) {
        FillFileList();  // the same folder: show what it holds now
    }
    if (!where.file.isEmpty()) {
        ShowListedFile(where.file);
    }
    llist_->setFocus(Qt::OtherFocusReason);
    return true;
}

void mainForm::ShowListedFile(const QString& path) {
    for (int i = 0; i < llist_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = llist_->topLevelItem(i);
        if (item->data(0, kKeyRole).toString() != path) {
            continue;
        }
        if (item->isSelected()) {
            ShowImageFile(path);
        } else {
            llist_->setCurrentItem(item);  // the selection change shows it
        }
        llist_->scrollToItem(item);
        return;
    }
    // Not a listed kind of file: shown all the same, or reported as invalid.
    llist_->clearSelection();
    ShowImageFile(path);
}

}  // namespace zorix
