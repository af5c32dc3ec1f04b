#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "AppTestSupport.h"
#include "MainFormFixture.h"
#include "app/DriveList.h"
#include "app/FolderList.h"
#include "app/SplitterBar.h"
#include "app/WindowPlacement.h"
#include "app/mainForm.h"
#include "app/pbForm.h"
#include "button/VkButton.h"

using apptest::FakePrompter;
using zorix::mainForm;
using zorix::Prompter;

namespace {

using MainFormTest = apptest::MainFormFixture;

TEST_F(MainFormTest, FirstStartWithAnEmptyStore) {
    mainForm& form = Start();
    EXPECT_TRUE(QRegularExpression("^Zorix Viewer v\\d+\\.\\d+\\.\\d+$")
                    .match(form.windowTitle())
                    .hasMatch())
        << form.windowTitle().toStdString();
    const QRect screen = form.screen()->geometry();
    EXPECT_EQ(form.x(), screen.width() / 2 - form.width() / 2);
    EXPECT_EQ(form.y(), screen.height() / 2 - form.height() / 2);
    EXPECT_FALSE(form.isMaximized());
    EXPECT_EQ(form.Geometry().drive.width, 3105);
    EXPECT_EQ(form.Geometry().dir.height, 1665);
    EXPECT_EQ(form.Dir1()->Path(), Folder());
    EXPECT_FALSE(form.SaveEnabled());
    EXPECT_TRUE(prompter_.shown.empty());

    EXPECT_EQ(apptest::StoreValue("LastFolder"), Folder());
    EXPECT_EQ(apptest::StoreValue("WindowState"), "0");
    EXPECT_EQ(apptest::StoreValue("ExplorerW"), "0");
    EXPECT_EQ(apptest::StoreValue("ExplorerH"), "0");
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "100");
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "0");
    EXPECT_FALSE(apptest::StoreHas("WindowPos"));

    ASSERT_NE(form.Engine(), nullptr);
    EXPECT_EQ(form.Engine()->ImageBgColor(), 0x808080);
    EXPECT_FLOAT_EQ(form.Engine()->RLEColorAccuracy(), 100.0f);
    EXPECT_TRUE(form.mPaintAlpha()->isChecked());
    EXPECT_FALSE(form.mShowBorder()->isChecked());
}

TEST_F(MainFormTest, StoredValuesAreApplied) {
    QTemporaryDir other;
    apptest::StoreSet("WindowPos", "9000x6000@1500x750");
    apptest::StoreSet("ExplorerW", "4500");
    apptest::StoreSet("ExplorerH", "2000");
    apptest::StoreSet("LastFolder", other.path());
    apptest::StoreSet("ColorAccuracy", "95");
    apptest::StoreSet("MaxPaletteSize", "300");
    mainForm& form = Start();
    EXPECT_EQ(form.size(), QSize(600, 400));
    EXPECT_EQ(form.pos(), QPoint(100, 50));
    EXPECT_EQ(form.Geometry().drive.width, 4500);
    EXPECT_EQ(form.Geometry().dir.width, 4500);
    EXPECT_EQ(form.Geometry().dir.height, 2000);
    EXPECT_EQ(form.Geometry().vmove.left, 4530);
    EXPECT_EQ(form.Dir1()->Path(), QDir(other.path()).canonicalPath());
    EXPECT_FLOAT_EQ(form.Engine()->RLEColorAccuracy(), 95.0f);
    EXPECT_EQ(form.Engine()->RLEMaxPalleteSize(), 300);
}

TEST_F(MainFormTest, WindowPosWithoutAtKeepsTheDesignPlace) {
    const mainForm design(prompter_);
    apptest::StoreSet("WindowPos", "800x600");
    mainForm& form = Start();
    EXPECT_EQ(form.pos(), design.pos());
    EXPECT_EQ(form.size(), design.size());
}

TEST_F(MainFormTest, WindowPosAppliesEachNumericValue) {
    const mainForm design(prompter_);
    apptest::StoreSet("WindowPos", "abcx6000@1500x750");
    mainForm& form = Start();
    EXPECT_EQ(form.width(), design.width());
    EXPECT_EQ(form.height(), 400);
    EXPECT_EQ(form.pos(), QPoint(100, 50));
}

TEST_F(MainFormTest, WindowStateTwoMaximisesAndOthersDoNot) {
    apptest::StoreSet("WindowState", "2");
    EXPECT_TRUE(Start().isMaximized());
    form_.reset();
    apptest::StoreSet("WindowState", "1");
    EXPECT_FALSE(Start().isMaximized());
}

TEST_F(MainFormTest, BrokenExplorerSizesKeepTheDesign) {
    apptest::StoreSet("ExplorerW", "abc");
    apptest::StoreSet("ExplorerH", "-5");
    mainForm& form = Start();
    EXPECT_EQ(form.Geometry().drive.width, 3105);
    EXPECT_EQ(form.Geometry().dir.height, 1665);
}

TEST_F(MainFormTest, VanishedLastFolderIsIgnoredSilently) {
    apptest::StoreSet("LastFolder", "/no/such/folder/anywhere");
    mainForm& form = Start();
    EXPECT_EQ(form.Dir1()->Path(), Folder());
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MainFormTest, ExitAnsweredNoKeepsEverything) {
    mainForm& form = Start();
    EXPECT_FALSE(form.close());
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, "Do you realy want to exit Zorix?");
    EXPECT_EQ(prompter_.shown[0].icon, Prompter::Icon::Question);
    EXPECT_EQ(prompter_.shown[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.Engine(), nullptr);
    EXPECT_FALSE(apptest::StoreHas("WindowPos"));
    EXPECT_EQ(apptest::StoreValue("ExplorerW"), "0");
}

TEST_F(MainFormTest, ExitAnsweredYesSavesThePlacement) {
    mainForm& form = Start();
    form.resize(700, 480);
    form.move(45, 30);
    QApplication::processEvents();
    prompter_.defaultAnswer = Prompter::Answer::Yes;
    EXPECT_TRUE(form.close());
    EXPECT_EQ(form.Engine(), nullptr);
    EXPECT_EQ(apptest::StoreValue("WindowPos"),
              zorix::FormatWindowPos(form.width() * 15, form.height() * 15, 675, 450));
    EXPECT_EQ(apptest::StoreValue("WindowState"), "0");
    EXPECT_EQ(apptest::StoreValue("ExplorerW"), "3105");
    EXPECT_EQ(apptest::StoreValue("ExplorerH"), "1665");
    EXPECT_EQ(apptest::StoreValue("LastFolder"), Folder());
}

TEST_F(MainFormTest, ExitWhileMaximisedKeepsTheLastNormalPlace) {
    apptest::StoreSet("WindowPos", "9000x6000@1500x750");
    mainForm& form = Start();
    form.showMaximized();
    QApplication::processEvents();
    prompter_.defaultAnswer = Prompter::Answer::Yes;
    EXPECT_TRUE(form.close());
    EXPECT_EQ(apptest::StoreValue("WindowState"), "2");
    EXPECT_EQ(apptest::StoreValue("WindowPos"), "9000x6000@1500x750");
}

TEST_F(MainFormTest, RestartKeepsTheSettings) {
    QTemporaryDir other;
    {
        mainForm& form = Start();
        form.Dir1()->setPath(other.path());
        form.resize(640, 450);
        form.move(60, 75);
        QApplication::processEvents();
        prompter_.defaultAnswer = Prompter::Answer::Yes;
        ASSERT_TRUE(form.close());
    }
    form_.reset();
    mainForm& again = Start();
    EXPECT_EQ(again.Dir1()->Path(), QDir(other.path()).canonicalPath());
    EXPECT_EQ(again.size(), QSize(640, 450));
    EXPECT_EQ(again.pos(), QPoint(60, 75));
}

TEST_F(MainFormTest, FileListFollowsTheFolderRules) {
    for (const char* name : {"a.bmp", "b.PNG", "c.gif", "d.jpg", "e", "bmp"}) {
        apptest::WriteBytes(FilePath(name), {1, 2, 3});
    }
    apptest::WriteBytes(FilePath("f.bmp"), {});
    mainForm& form = Start();
    QStringList names;
    for (int i = 0; i < form.llist()->topLevelItemCount(); ++i) {
        names << form.llist()->topLevelItem(i)->text(0);
    }
    EXPECT_EQ(names, QStringList({"a.bmp", "b.PNG", "bmp", "c.gif"}));
    QTreeWidgetItem* png = Item("b.PNG");
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->data(0, mainForm::kKeyRole).toString(), FilePath("b.PNG"));
    EXPECT_EQ(png->data(0, mainForm::kTagRole).toString(), "PNG");
    EXPECT_EQ(png->toolTip(0), FilePath("b.PNG"));
    EXPECT_EQ(png->text(1), "3");
}

TEST_F(MainFormTest, ChangingTheFolderRebuildsTheList) {
    ASSERT_TRUE(QDir(Folder()).mkdir("sub"));
    apptest::WriteBytes(FilePath("top.bmp"), {1});
    apptest::WriteBytes(FilePath("sub/inner.gif"), {1});
    mainForm& form = Start();
    EXPECT_NE(Item("top.bmp"), nullptr);
    ASSERT_TRUE(form.Dir1()->setPath(FilePath("sub")));
    EXPECT_EQ(Item("top.bmp"), nullptr);
    EXPECT_NE(Item("inner.gif"), nullptr);
}

TEST_F(MainFormTest, DeviceBitmapIsShownWithItsInformationLine) {
    apptest::WriteBytes(FilePath("logo.bmp"), apptest::MakeDeviceBitmap(40, 30, 5, false));
    mainForm& form = Start();
    Select("logo.bmp");
    EXPECT_EQ(form.status()->text(),
              "Size: 40x30 | Color palette: 5 | Alpha: no | Type: RLE Bitmap");
    EXPECT_TRUE(form.trgPIC()->isVisible());
    EXPECT_FALSE(form.badpic()->isVisible());
    EXPECT_EQ(form.trgPIC()->size(), QSize(40, 30));
    EXPECT_EQ(form.ShownPath(), FilePath("logo.bmp"));
    EXPECT_TRUE(form.SaveEnabled());
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(form.btSave(i)->isEnabled()) << i;
    }
}

TEST_F(MainFormTest, UnreadableFileShowsTheInvalidPicture) {
    apptest::WriteBytes(FilePath("good.bmp"), apptest::MakeDeviceBitmap(8, 8, 3, false));
    apptest::WriteBytes(FilePath("junk.bmp"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'});
    mainForm& form = Start();
    Select("good.bmp");
    ASSERT_TRUE(form.SaveEnabled());
    Select("junk.bmp");
    EXPECT_EQ(form.status()->text(), "Invalid image file");
    EXPECT_TRUE(form.badpic()->isVisible());
    EXPECT_FALSE(form.trgPIC()->isVisible());
    EXPECT_TRUE(form.trgPIC()->pixmap().isNull());
    EXPECT_EQ(form.ShownPath(), "");
    EXPECT_FALSE(form.SaveEnabled());
    EXPECT_FALSE(form.btSave(1)->isEnabled());
    // The symbol is centred on the preview area's outer size.
    const QRect bkg = form.bkg()->rect();
    const QPoint centre = form.badpic()->mapTo(form.bkg(), form.badpic()->rect().center());
    EXPECT_NEAR(centre.x(), bkg.center().x() + 2, 2);
    EXPECT_NEAR(centre.y(), bkg.center().y() + 2, 2);
}

TEST_F(MainFormTest, GifInformationLineHasNoColors) {
    // A 1x1 GIF89a, with a comment block that lifts it over the 57-byte floor of loading.
    apptest::WriteBytes(
        FilePath("dot.gif"),
        {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
         0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00,
         0x00, 0x21, 0xFE, 0x10, 'a',  'b',  'c',  'd',  'e',  'f',  'g',  'h',  'i',
         'j',  'k',  'l',  'm',  'n',  'o',  'p',  0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
         0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
    mainForm& form = Start();
    Select("dot.gif");
    ASSERT_TRUE(form.SaveEnabled());
    EXPECT_EQ(form.status()->text().indexOf("Colors:"), -1);
    EXPECT_TRUE(form.status()->text().endsWith("Type: GIF"));
}

// Notes what the window shows while the engine decodes.
class DecodingProbe : public quenda::ZorixImgEngineEvents {
  public:
    explicit DecodingProbe(mainForm& form) : form_(form) {}
    void RLEDecoding(const std::string&, float) override {
        ++events;
        sawProgressWindow = sawProgressWindow || form_.PBVisible();
        explorerEnabled =
            form_.llist()->isEnabled() || form_.Dir1()->isEnabled() || form_.Drive1()->isEnabled();
        menusEnabled = form_.menuBar()->actions().at(0)->isEnabled();
        title = form_.PBTitle();
        action = form_.PBAction();
    }

    int events = 0;
    bool sawProgressWindow = false;
    bool explorerEnabled = true;
    bool menusEnabled = true;
    QString title;
    QString action;

  private:
    mainForm& form_;
};

TEST_F(MainFormTest, ProgressWindowOnlyFrom16384Bytes) {
    apptest::WriteBytes(FilePath("small.bmp"),
                        apptest::MakeDeviceBitmap(60, 60, 200, false, 16383));
    apptest::WriteBytes(FilePath("large.bmp"),
                        apptest::MakeDeviceBitmap(60, 60, 200, false, 16384));
    ASSERT_EQ(QFileInfo(FilePath("small.bmp")).size(), 16383);
    mainForm& form = Start();
    DecodingProbe probe(form);
    form.Engine()->Subscribe(&probe);

    Select("small.bmp");
    ASSERT_TRUE(form.SaveEnabled()) << form.status()->text().toStdString();
    EXPECT_GT(probe.events, 0);
    EXPECT_FALSE(probe.sawProgressWindow);

    Select("large.bmp");
    ASSERT_TRUE(form.SaveEnabled());
    EXPECT_TRUE(probe.sawProgressWindow);
    EXPECT_FALSE(probe.explorerEnabled);
    EXPECT_FALSE(probe.menusEnabled);
    EXPECT_EQ(probe.title, "Decoding large.bmp");
    EXPECT_EQ(probe.action, "Please wait...");

    // Gone afterwards, and everything usable again.
    EXPECT_FALSE(form.PBVisible());
    EXPECT_EQ(form.ProgressWindow(), nullptr);
    EXPECT_TRUE(form.llist()->isEnabled());
    EXPECT_TRUE(form.Dir1()->isEnabled());
    EXPECT_TRUE(form.Drive1()->isEnabled());
    EXPECT_TRUE(form.menuBar()->actions().at(0)->isEnabled());
    form.Engine()->Unsubscribe(&probe);
}

TEST_F(MainFormTest, TransparencyToggleReloadsTheSelectedFile) {
    apptest::WriteBytes(FilePath("alpha.bmp"), apptest::MakeDeviceBitmap(20, 10, 4, true));
    mainForm& form = Start();
    Select("alpha.bmp");
    ASSERT_TRUE(form.trgPIC()->isVisible());
    EXPECT_EQ(form.trgPIC()->pixmap().toImage().pixel(0, 0), qRgb(0x80, 0x80, 0x80));

    form.mPaintAlpha()->trigger();
    EXPECT_FALSE(form.mPaintAlpha()->isChecked());
    EXPECT_EQ(form.Engine()->ImageBgColor(), 0);
    EXPECT_EQ(form.trgPIC()->pixmap().toImage().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_TRUE(form.trgPIC()->isVisible());

    form.mPaintAlpha()->trigger();
    EXPECT_EQ(form.Engine()->ImageBgColor(), 0x808080);
    EXPECT_EQ(form.trgPIC()->pixmap().toImage().pixel(0, 0), qRgb(0x80, 0x80, 0x80));
}

TEST_F(MainFormTest, TransparencyToggleWithoutSelectionOnlyChecks) {
    mainForm& form = Start();
    form.mPaintAlpha()->trigger();
    EXPECT_FALSE(form.mPaintAlpha()->isChecked());
    EXPECT_EQ(form.Engine()->ImageBgColor(), 0x808080);
}

TEST_F(MainFormTest, PictureBorderToggles) {
    apptest::WriteBytes(FilePath("p.bmp"), apptest::MakeDeviceBitmap(20, 10, 4, false));
    mainForm& form = Start();
    Select("p.bmp");
    form.mShowBorder()->trigger();
    EXPECT_EQ(form.trgPIC()->frameShape(), QFrame::Box);
    EXPECT_EQ(form.trgPIC()->size(), QSize(22, 12));
    form.mShowBorder()->trigger();
    EXPECT_EQ(form.trgPIC()->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(form.trgPIC()->size(), QSize(20, 10));
}

TEST_F(MainFormTest, LargeImageScrollsAndResizeResetsTheScroll) {
    apptest::WriteBytes(FilePath("big.bmp"), apptest::MakeDeviceBitmap(1200, 900, 3, false));
    mainForm& form = Start();
    Select("big.bmp");
    ASSERT_TRUE(form.hsb()->isVisible());
    ASSERT_TRUE(form.vsb()->isVisible());
    EXPECT_TRUE(form.corner()->isVisible());
    EXPECT_EQ(form.trgPIC()->pos(), QPoint(0, 0));
    const int visibleWidth = form.bkg()->contentsRect().width() - form.vsb()->width();
    EXPECT_EQ(form.hsb()->maximum(), 1200 - visibleWidth);

    form.hsb()->setValue(10);
    form.vsb()->setValue(7);
    EXPECT_EQ(form.trgPIC()->pos(), QPoint(-10, -7));

    form.resize(form.width() + 40, form.height() + 30);
    QApplication::processEvents();
    EXPECT_EQ(form.hsb()->value(), 0);
    EXPECT_EQ(form.vsb()->value(), 0);
    EXPECT_EQ(form.trgPIC()->pos(), QPoint(0, 0));
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST_F(MainFormTest, DraggingTheVerticalBarWidensTheColumn) {
    mainForm& form = Start();
    const int driveWidth = form.Drive1()->width();
    const int bkgLeft = form.bkg()->x();
    SendMouse(form.vmove(), QEvent::MouseButtonPress, {2, 50}, Qt::LeftButton);
    SendMouse(form.vmove(), QEvent::MouseMove, {42, 50}, Qt::LeftButton);
    EXPECT_EQ(form.Drive1()->width(), driveWidth + 40);
    EXPECT_EQ(form.Dir1()->width(), driveWidth + 40);
    EXPECT_EQ(form.llist()->width(), driveWidth + 40);
    EXPECT_EQ(form.bkg()->x(), bkgLeft + 40);
    SendMouse(form.vmove(), QEvent::MouseButtonRelease, {2, 50}, Qt::LeftButton);
    // Moves after the release do nothing.
    SendMouse(form.vmove(), QEvent::MouseMove, {80, 50}, Qt::NoButton);
    EXPECT_EQ(form.Drive1()->width(), driveWidth + 40);
    EXPECT_EQ(form.Geometry().drive.width, 3105 + 600);
}

TEST_F(MainFormTest, DraggingTheHorizontalBarStopsAtTheLimit) {
    mainForm& form = Start();
    const int dirHeight = form.Dir1()->height();
    SendMouse(form.hmove(), QEvent::MouseButtonPress, {20, 2}, Qt::LeftButton);
    SendMouse(form.hmove(), QEvent::MouseMove, {20, 32}, Qt::LeftButton);
    EXPECT_EQ(form.Dir1()->height(), dirHeight + 30);
    EXPECT_EQ(form.llist()->y(), form.hmove()->y() + form.hmove()->height());
    // Far up: the folder list would get shorter than 900 twips, nothing moves.
    SendMouse(form.hmove(), QEvent::MouseMove, {20, -200}, Qt::LeftButton);
    EXPECT_EQ(form.Dir1()->height(), dirHeight + 30);
    SendMouse(form.hmove(), QEvent::MouseButtonRelease, {20, 2}, Qt::LeftButton);
    EXPECT_EQ(form.Geometry().hmove.top, form.Geometry().dir.top + form.Geometry().dir.height);
}

TEST_F(MainFormTest, UnreadableDriveSaysSoAndGoesBack) {
    mainForm& form = Start();
    const QString good = form.Drive1()->Drive();
    form.Drive1()->addItem("/no/such/volume", QString("/no/such/volume"));
    const int index = form.Drive1()->count() - 1;
    form.Drive1()->setCurrentIndex(index);
    emit form.Drive1()->activated(index);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, "Drive not ready!");
    EXPECT_EQ(prompter_.shown[0].title, "Error");
    EXPECT_EQ(prompter_.shown[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(form.Drive1()->Drive(), good);
    EXPECT_EQ(form.Dir1()->Path(), Folder());
}

TEST_F(MainFormTest, SaveButtonsDoWhatTheMenuItemsDo) {
    apptest::WriteBytes(FilePath("p.bmp"), apptest::MakeDeviceBitmap(4, 4, 2, false));
    mainForm& form = Start();
    int triggered = 0;
    QObject::connect(form.mSaveFile(3), &QAction::triggered, [&] { ++triggered; });
    Select("p.bmp");
    ASSERT_TRUE(form.SaveEnabled());
    emit static_cast<VkButton*>(form.btSave(3))->Click();
    EXPECT_EQ(triggered, 1);
    EXPECT_EQ(form.mSaveFile(3)->text(), "ARGB Bitmap");
    EXPECT_EQ(form.btSave(3)->toolTip(), "Save as Bitmap with Alpha Channel (ARGB)");
}

}  // namespace
