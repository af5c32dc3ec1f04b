#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <QWheelEvent>
#include <memory>

#include "AppTestSupport.h"
#include "app/FolderList.h"
#include "app/PreviewFit.h"
#include "app/SplitterBar.h"
#include "app/mainForm.h"
#include "app/modSettings.h"
#include "button/VkButton.h"
#include "imaging/c32bppDIB.h"

using apptest::FakePrompter;
using zorix::mainForm;

namespace {

// Counts the device bitmaps the window's engine starts to decode.
class LoadCounter : public quenda::ZorixImgEngineEvents {
  public:
    void RLEDecodingStarted(const std::string& fileName) override {
        ++loads;
        last = QString::fromStdString(fileName);
    }
    int loads = 0;
    QString last;
};

// One window on a scratch folder of its own, as a user starts it there.
class Viewer {
  public:
    Viewer() {
        apptest::ClearStore();
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
    }
    ~Viewer() {
        if (form_ && form_->Engine()) {
            form_->Engine()->Unsubscribe(&counter);
        }
        form_.reset();
        QDir::setCurrent(previousDir_);
        apptest::ClearStore();
    }

    mainForm& Start() {
        if (form_ && form_->Engine()) {
            form_->Engine()->Unsubscribe(&counter);
        }
        form_ = std::make_unique<mainForm>(prompter_);
        form_->Startup();
        form_->show();
        QApplication::processEvents();
        form_->Engine()->Subscribe(&counter);
        return *form_;
    }

    QString Folder() const { return QDir(folder_.path()).canonicalPath(); }
    QString Path(const QString& name) const { return Folder() + "/" + name; }
    void Bitmap(const QString& name, int w, int h, size_t padTo = 0) const {
        apptest::WriteBytes(Path(name), apptest::MakeDeviceBitmap(w, h, 4, false, padTo));
    }

    QTreeWidgetItem* Item(const QString& name) const {
        const auto found = form_->llist()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QStringList Names(int column = 0) const {
        QStringList names;
        for (int i = 0; i < form_->llist()->topLevelItemCount(); ++i) {
            names << form_->llist()->topLevelItem(i)->text(column);
        }
        return names;
    }
    void Click(const QString& name) const {
        QTreeWidget* list = form_->llist();
        const QRect rect = list->visualItemRect(Item(name));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QWidget* View() const { return form_->findChild<QWidget*>("view"); }
    // Starts on a folder holding one device bitmap of w x h and shows it.
    mainForm& StartShowing(const QString& name, int w, int h) {
        Bitmap(name, w, h);
        mainForm& form = Start();
        Click(name);
        return form;
    }

    LoadCounter counter;

  private:
    QTemporaryDir folder_;
    QString previousDir_;
    FakePrompter prompter_;
    std::unique_ptr<mainForm> form_;
};

void Wheel(QWidget* target, int dy, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// ---------------------------------------------------------------------------
// Browsing and reloading

TEST(ViewerBrowsing, ArrowKeysLoadEachFileOnceOverSmallAndLargeFiles) {
    Viewer v;
    v.Bitmap("a.bmp", 10, 10);
    v.Bitmap("b.bmp", 60, 60, 20000);  // the progress window shows for this one
    v.Bitmap("c.bmp", 30, 20);
    v.Bitmap("d.bmp", 60, 50, 17000);
    mainForm& form = v.Start();
    QTreeWidget* list = form.llist();
    list->setFocus();
    v.Click("a.bmp");
    ASSERT_EQ(v.counter.loads, 1);
    const QStringList sizes = {"60x60", "30x20", "60x50"};
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(v.counter.loads, step + 2) << step;
        EXPECT_TRUE(form.status()->text().startsWith("Size: " + sizes[step]))
            << form.status()->text().toStdString();
        EXPECT_FALSE(form.PBVisible());
        EXPECT_TRUE(list->isEnabled());
    }
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(v.counter.loads, 5);
    EXPECT_EQ(form.ShownPath(), v.Path("c.bmp"));
}

TEST(ViewerBrowsing, ClickOnTheSelectedFileReloadsItAfterItChanged) {
    Viewer v;
    v.Bitmap("a.bmp", 40, 30);
    v.Bitmap("b.bmp", 8, 8);
    mainForm& form = v.Start();
    v.Click("a.bmp");
    ASSERT_EQ(v.counter.loads, 1);
    ASSERT_TRUE(form.status()->text().startsWith("Size: 40x30"));

    v.Bitmap("a.bmp", 20, 10);  // replaced on disk
    v.Click("a.bmp");
    EXPECT_EQ(v.counter.loads, 2);
    EXPECT_TRUE(form.status()->text().startsWith("Size: 20x10"));
    EXPECT_EQ(form.trgPIC()->size(), QSize(20, 10));

    // Another file loads once, not once for the selection and again for the click;
    // a double click loads it once more at most.
    v.Click("b.bmp");
    EXPECT_EQ(v.counter.loads, 3);
    QTreeWidget* list = form.llist();
    const QPoint at = list->visualItemRect(v.Item("a.bmp")).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(v.counter.loads, 4);
    EXPECT_EQ(form.ShownPath(), v.Path("a.bmp"));
}

TEST(ViewerBrowsing, PreviewShowsTheEnginesPictureOnce) {
    Viewer v;
    apptest::WriteBytes(v.Path("alpha.bmp"), apptest::MakeDeviceBitmap(20, 10, 4, true));
    mainForm& form = v.Start();
    // An asymmetric colour catches swapped channels; code 0 at (0, 0) is transparent.
    form.Engine()->setImageBgColor(0x00302010);
    v.Click("alpha.bmp");
    const QImage shown = form.trgPIC()->pixmap().toImage();
    const std::unique_ptr<quenda::c32bppDIB> picture = form.Engine()->Picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const uint32_t c = static_cast<uint32_t>(picture->GetPixel(x, y));
            ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF,
                      static_cast<QRgb>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)))
                << x << "," << y;
        }
    }
}

// ---------------------------------------------------------------------------
// Scrolling the picture

TEST(ViewerScrolling, WheelScrollsAndStaysWithinTheRange) {
    Viewer v;
    mainForm& form = v.StartShowing("big.bmp", 1200, 900);
    ASSERT_TRUE(form.vsb()->isVisible());
    QWidget* view = v.View();
    ASSERT_NE(view, nullptr);

    Wheel(view, -120);
    const int step = form.vsb()->value();
    EXPECT_GT(step, 0);
    EXPECT_EQ(form.trgPIC()->y(), -step);
    EXPECT_EQ(form.hsb()->value(), 0);

    Wheel(view, -120, Qt::ShiftModifier);
    EXPECT_EQ(form.hsb()->value(), step);
    EXPECT_EQ(form.vsb()->value(), step);
    EXPECT_EQ(form.trgPIC()->x(), -step);

    for (int i = 0; i < 100; ++i) {
        Wheel(view, -120);
    }
    EXPECT_EQ(form.vsb()->value(), form.vsb()->maximum());
    for (int i = 0; i < 100; ++i) {
        Wheel(view, 120);
    }
    EXPECT_EQ(form.vsb()->value(), 0);
}

TEST(ViewerScrolling, SmallPictureDoesNotMove) {
    Viewer v;
    mainForm& form = v.StartShowing("small.bmp", 40, 30);
    const QPoint place = form.trgPIC()->pos();
    EXPECT_EQ(v.View()->cursor().shape(), Qt::ArrowCursor);
    Wheel(v.View(), -120);
    QTest::mousePress(v.View(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(v.View(), {40, 30});
    QTest::mouseRelease(v.View(), Qt::LeftButton, {}, {40, 30});
    EXPECT_EQ(form.trgPIC()->pos(), place);
}

TEST(ViewerScrolling, DraggingPansWithinTheRange) {
    Viewer v;
    mainForm& form = v.StartShowing("big.bmp", 1200, 900);
    QWidget* view = v.View();
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    QTest::mousePress(view, Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(view, {160, 170});
    EXPECT_EQ(form.hsb()->value(), 40);
    EXPECT_EQ(form.vsb()->value(), 30);
    EXPECT_EQ(form.trgPIC()->pos(), QPoint(-40, -30));
    // Dragging the other way past the start stops at the start.
    QTest::mouseMove(view, {400, 390});
    EXPECT_EQ(form.hsb()->value(), 0);
    EXPECT_EQ(form.vsb()->value(), 0);
    QTest::mouseRelease(view, Qt::LeftButton, {}, {400, 390});
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    QTest::mouseMove(view, {100, 100});
    EXPECT_EQ(form.hsb()->value(), 0);
}

TEST(ViewerScrolling, KeysScrollWhenTheViewHasTheFocus) {
    Viewer v;
    mainForm& form = v.StartShowing("big.bmp", 1200, 900);
    QWidget* view = v.View();
    EXPECT_NE(view->focusPolicy() & Qt::ClickFocus, 0);
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(form.vsb()->value(), form.vsb()->maximum());
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(form.vsb()->value(), 0);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(form.hsb()->value(), 20);
    EXPECT_EQ(form.vsb()->value(), 20);
    EXPECT_EQ(form.trgPIC()->pos(), QPoint(-20, -20));
    QTest::keyClick(view, Qt::Key_Home);
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(form.vsb()->value(), std::min(form.vsb()->pageStep(), form.vsb()->maximum()));
}

// ---------------------------------------------------------------------------
// Fit to window

TEST(ViewerFit, OffByDefaultAndNotStoredAtFirstStart) {
    Viewer v;
    mainForm& form = v.Start();
    ASSERT_NE(form.mFitWindow(), nullptr);
    EXPECT_EQ(form.mFitWindow()->text(), "&Fit to window");
    EXPECT_TRUE(form.mFitWindow()->isCheckable());
    EXPECT_FALSE(form.FitToWindow());
    EXPECT_FALSE(apptest::StoreHas("FitToWindow"));
}

TEST(ViewerFit, LargePicturesShrinkKeepingTheirAspect) {
    Viewer v;
    v.Bitmap("wide.bmp", 1600, 200);
    v.Bitmap("tall.bmp", 200, 1600);
    v.Bitmap("small.bmp", 40, 30);
    mainForm& form = v.Start();
    form.mFitWindow()->trigger();
    EXPECT_EQ(apptest::StoreValue("FitToWindow"), "1");
    const QSize area = form.bkg()->contentsRect().size();

    v.Click("wide.bmp");
    EXPECT_EQ(form.status()->text(),
              "Size: 1600x200 | Color palette: 4 | Alpha: no | Type: RLE Bitmap");
    EXPECT_EQ(form.trgPIC()->width(), area.width());
    EXPECT_NEAR(form.trgPIC()->height(), area.width() / 8.0, 1);
    EXPECT_FALSE(form.hsb()->isVisible());
    EXPECT_FALSE(form.vsb()->isVisible());

    v.Click("tall.bmp");
    EXPECT_EQ(form.trgPIC()->height(), area.height());
    EXPECT_NEAR(form.trgPIC()->width(), area.height() / 8.0, 1);
    EXPECT_TRUE(form.status()->text().startsWith("Size: 200x1600"));

    v.Click("small.bmp");
    EXPECT_EQ(form.trgPIC()->size(), QSize(40, 30));
}

TEST(ViewerFit, FollowsTheWindowAndOffGivesTheOwnSize) {
    Viewer v;
    v.Bitmap("big.bmp", 1200, 900);
    mainForm& form = v.Start();
    form.mFitWindow()->trigger();
    v.Click("big.bmp");
    const QSize before = form.trgPIC()->size();
    EXPECT_EQ(before, zorix::FitSize({1200, 900}, form.bkg()->contentsRect().size()));
    form.resize(form.width() + 60, form.height() + 60);
    QApplication::processEvents();
    EXPECT_GT(form.trgPIC()->width(), before.width());
    EXPECT_EQ(form.trgPIC()->size(),
              zorix::FitSize({1200, 900}, form.bkg()->contentsRect().size()));

    form.mFitWindow()->trigger();
    EXPECT_EQ(apptest::StoreValue("FitToWindow"), "0");
    EXPECT_EQ(form.trgPIC()->size(), QSize(1200, 900));
    EXPECT_TRUE(form.hsb()->isVisible());
    EXPECT_EQ(form.trgPIC()->pos(), QPoint(0, 0));
}

TEST(ViewerFit, KeptForTheNextStart) {
    Viewer v;
    zorix::WriteSetting("FitToWindow", "1");
    EXPECT_TRUE(v.Start().FitToWindow());
}

// ---------------------------------------------------------------------------
// Refresh

TEST(ViewerRefresh, F5ReadsTheFolderAgainAndKeepsTheSelection) {
    Viewer v;
    v.Bitmap("a.bmp", 4, 4);
    v.Bitmap("b.bmp", 4, 4);
    mainForm& form = v.Start();
    ASSERT_NE(form.mRefresh(), nullptr);
    EXPECT_EQ(form.mRefresh()->text(), "&Refresh");
    EXPECT_EQ(form.mRefresh()->shortcut(), QKeySequence(Qt::Key_F5));
    v.Click("b.bmp");
    ASSERT_EQ(v.counter.loads, 1);

    v.Bitmap("c.bmp", 4, 4);
    ASSERT_TRUE(QFile::remove(v.Path("a.bmp")));
    form.mRefresh()->trigger();
    EXPECT_EQ(v.Names(), QStringList({"b.bmp", "c.bmp"}));
    ASSERT_EQ(form.llist()->selectedItems().size(), 1);
    EXPECT_EQ(form.llist()->selectedItems().first()->text(0), "b.bmp");
    EXPECT_EQ(form.llist()->currentItem()->text(0), "b.bmp");
    EXPECT_EQ(v.counter.loads, 1);  // nothing reloaded

    ASSERT_TRUE(QFile::remove(v.Path("b.bmp")));
    form.mRefresh()->trigger();
    EXPECT_EQ(v.Names(), QStringList({"c.bmp"}));
    EXPECT_TRUE(form.llist()->selectedItems().isEmpty());
}

TEST(ViewerRefresh, VanishedFolderGoesToTheOneAbove) {
    Viewer v;
    ASSERT_TRUE(QDir(v.Folder()).mkdir("sub"));
    v.Bitmap("top.bmp", 4, 4);
    mainForm& form = v.Start();
    ASSERT_TRUE(form.Dir1()->setPath(v.Path("sub")));
    ASSERT_TRUE(QDir(v.Path("sub")).removeRecursively());
    form.mRefresh()->trigger();
    EXPECT_EQ(form.Dir1()->Path(), v.Folder());
    EXPECT_EQ(v.Names(), QStringList({"top.bmp"}));
}

// ---------------------------------------------------------------------------
// File list columns and sorting

TEST(ViewerFileList, ColumnsAreWideEnoughForTheirContent) {
    Viewer v;
    v.Bitmap("a-rather-long-file-name.bmp", 4, 4, 1536 * 1024 + 77);
    v.Bitmap("b.bmp", 4, 4);
    mainForm& form = v.Start();
    QTreeWidget* list = form.llist();
    const QFontMetrics metrics(list->font());
    for (int column = 0; column < 3; ++column) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QString text = list->topLevelItem(i)->text(column);
            EXPECT_GE(list->columnWidth(column), metrics.horizontalAdvance(text))
                << column << " " << text.toStdString();
        }
    }
    EXPECT_EQ(v.Item("a-rather-long-file-name.bmp")->text(1), "1.5 MB");
}

TEST(ViewerFileList, HeaderClicksSortByNameSizeAndTime) {
    Viewer v;
    apptest::WriteBytes(v.Path("b.bmp"), std::vector<uint8_t>(3000, 1));
    apptest::WriteBytes(v.Path("A.bmp"), std::vector<uint8_t>(10, 1));
    apptest::WriteBytes(v.Path("c.bmp"), std::vector<uint8_t>(200, 1));
    const QDateTime base = QDateTime::currentDateTime().addDays(-3);
    const std::vector<std::pair<const char*, int>> ages = {
        {"b.bmp", 0}, {"A.bmp", 2}, {"c.bmp", 1}};
    for (const auto& [name, days] : ages) {
        QFile file(v.Path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(base.addDays(days), QFileDevice::FileModificationTime));
    }
    mainForm& form = v.Start();
    EXPECT_EQ(v.Names(), QStringList({"A.bmp", "b.bmp", "c.bmp"}));

    QHeaderView* header = form.llist()->header();
    const auto clickHeader = [&](int section) {
        const QPoint at(header->sectionViewportPosition(section) + 4, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    clickHeader(1);
    EXPECT_EQ(v.Names(), QStringList({"A.bmp", "c.bmp", "b.bmp"}));
    clickHeader(1);
    EXPECT_EQ(v.Names(), QStringList({"b.bmp", "c.bmp", "A.bmp"}));
    clickHeader(2);
    EXPECT_EQ(v.Names(), QStringList({"b.bmp", "c.bmp", "A.bmp"}));
    clickHeader(0);
    EXPECT_EQ(v.Names(), QStringList({"A.bmp", "b.bmp", "c.bmp"}));

    // A new folder's list keeps the chosen order.
    clickHeader(1);
    form.RefreshLists();
    EXPECT_EQ(v.Names(), QStringList({"A.bmp", "c.bmp", "b.bmp"}));
}

// ---------------------------------------------------------------------------
// Window size and place

TEST(ViewerWindow, CannotShrinkUntilControlsOverlap) {
    Viewer v;
    mainForm& form = v.Start();
    form.resize(100, 80);
    QApplication::processEvents();
    EXPECT_GT(form.width(), 100);
    EXPECT_GT(form.height(), 80);
    const QWidget* client = form.client();
    EXPECT_LE(form.llist()->geometry().bottom(), form.status()->y());
    EXPECT_GE(form.llist()->height(), 50);
    EXPECT_LE(form.Dir1()->geometry().bottom(), form.hmove()->y());
    EXPECT_LE(form.bkg()->geometry().right(), client->width());
    EXPECT_GE(form.bkg()->width(), 50);
    EXPECT_LE(form.btSave(5)->geometry().right(), client->width());
}

TEST(ViewerWindow, StoredPlaceOnNoScreenMovesOntoThePrimary) {
    Viewer v;
    apptest::StoreSet("WindowPos", "9000x6000@150000x150000");
    mainForm& form = v.Start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(QRect(form.pos(), QSize(1, 1)))) << form.x() << "," << form.y();
    EXPECT_EQ(form.size(), QSize(600, 400));
    EXPECT_EQ(form.x(), screen.x() + (screen.width() - 600) / 2);
}

// ---------------------------------------------------------------------------
// A path from the command line or a drop

TEST(ViewerOpen, FileOpensItsFolderAndShowsIt) {
    Viewer v;
    QTemporaryDir other;
    apptest::WriteBytes(other.filePath("pic.bmp"), apptest::MakeDeviceBitmap(12, 9, 3, false));
    mainForm& form = v.Start();
    ASSERT_TRUE(form.OpenLocation(other.filePath("pic.bmp")));
    EXPECT_EQ(form.Dir1()->Path(), QDir::cleanPath(other.path()));
    ASSERT_EQ(form.llist()->selectedItems().size(), 1);
    EXPECT_EQ(form.llist()->selectedItems().first()->text(0), "pic.bmp");
    EXPECT_TRUE(form.status()->text().startsWith("Size: 12x9"));
    EXPECT_EQ(v.counter.loads, 1);
    // Asking again for the shown file reloads it.
    ASSERT_TRUE(form.OpenLocation(other.filePath("pic.bmp")));
    EXPECT_EQ(v.counter.loads, 2);
}

TEST(ViewerOpen, FolderOpensWithoutShowingAFile) {
    Viewer v;
    QTemporaryDir other;
    apptest::WriteBytes(other.filePath("pic.bmp"), apptest::MakeDeviceBitmap(12, 9, 3, false));
    mainForm& form = v.Start();
    ASSERT_TRUE(form.OpenLocation(other.path()));
    EXPECT_EQ(form.Dir1()->Path(), QDir::cleanPath(other.path()));
    EXPECT_EQ(v.Names(), QStringList({"pic.bmp"}));
    EXPECT_TRUE(form.llist()->selectedItems().isEmpty());
    EXPECT_EQ(v.counter.loads, 0);
}

TEST(ViewerOpen, MissingPathLeavesTheFirstStart) {
    Viewer v;
    mainForm& form = v.Start();
    EXPECT_FALSE(form.OpenLocation(v.Path("no-such.bmp")));
    EXPECT_EQ(form.Dir1()->Path(), v.Folder());
    EXPECT_EQ(form.status()->text(), "");
    EXPECT_FALSE(form.SaveEnabled());
}

TEST(ViewerOpen, DroppedFileIsShown) {
    Viewer v;
    QTemporaryDir other;
    apptest::WriteBytes(other.filePath("drop.bmp"), apptest::MakeDeviceBitmap(7, 5, 2, false));
    mainForm& form = v.Start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(other.filePath("drop.bmp"))});
    const QPoint at(form.width() / 2, form.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    EXPECT_EQ(form.Dir1()->Path(), QDir::cleanPath(other.path()));
    EXPECT_TRUE(form.status()->text().startsWith("Size: 7x5"));

    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&form, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

}  // namespace
