#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

#include "AppTestSupport.h"
#include "app/BatchTargetFolder.h"
#include "app/FileDropList.h"
#include "app/batchForm.h"
#include "app/mainForm.h"
#include "app/modSettings.h"
#include "button/VkButton.h"
#include "controls/VkProgressBar.h"
#include "engine/ZorixImgEngine.h"
#include "support/GifBuilder.h"

using apptest::FakePrompter;
using zorix::batchForm;
using zorix::Prompter;

namespace {

// Answers the open dialog with a fixed list of files.
class BatchPrompter : public FakePrompter {
  public:
    QStringList ChooseOpenFiles(QWidget*, const OpenRequest& request) override {
        openRequests.push_back(request);
        return openAnswer;
    }
    std::vector<OpenRequest> openRequests;
    QStringList openAnswer;
};

std::vector<uint8_t> ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

class BatchFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        prompter_.defaultAnswer = Prompter::Answer::Yes;
        form_ = std::make_unique<batchForm>(prompter_);
        form_->setVolumeRoots({});
    }

    QString Dir() const { return QDir(scratch_.path()).canonicalPath(); }
    QString PathOf(const QString& name) const { return Dir() + "/" + name; }
    QString MakeFolder(const QString& name) const {
        QDir().mkpath(PathOf(name));
        return PathOf(name);
    }

    QString Device(const QString& name, int width = 24, int height = 16) const {
        const QString path = PathOf(name);
        QDir().mkpath(QFileInfo(path).path());
        apptest::WriteBytes(path, apptest::MakeDeviceBitmap(width, height, 6, true));
        return path;
    }
    // An ordinary image made from a device bitmap through the engine.
    QString Converted(const QString& name, quenda::IMG_SAVE_TYPES type) const {
        const QString source = Device(QStringLiteral("seed-%1.bmp").arg(type));
        quenda::ZorixImgEngine engine;
        EXPECT_TRUE(engine.LoadImage(Native(source)));
        EXPECT_TRUE(engine.SaveImageAs(Native(PathOf(name)), type));
        QFile::remove(source);
        return PathOf(name);
    }
    QString Gif(const QString& name) const {
        testsupport::GifBuilder gif;
        gif.screenWidth = 4;
        gif.screenHeight = 2;
        gif.globalTable = {{{255, 0, 0}}, {{0, 0, 255}}};
        testsupport::GifFrame frame;
        frame.width = 4;
        frame.height = 2;
        frame.indices = {0, 1, 0, 1, 1, 0, 1, 0};
        gif.frames.push_back(frame);
        const QString path = PathOf(name);
        std::vector<uint8_t> bytes = gif.Build();
        bytes.resize(std::max<size_t>(bytes.size(), 64), 0);  // the loader wants a few bytes
        apptest::WriteBytes(path, bytes);
        return path;
    }
    QString Corrupt(const QString& name) const {
        const QString path = PathOf(name);
        apptest::WriteBytes(path, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
        return path;
    }

    // What the engine writes for `source` in `type`, as a run without the window would.
    std::vector<uint8_t> Expected(const QString& source, quenda::IMG_SAVE_TYPES type) {
        const QString target = PathOf("expected/" + QFileInfo(source).completeBaseName());
        QDir().mkpath(PathOf("expected"));
        quenda::ZorixImgEngine engine;
        engine.setRLEColorAccuracy(zorix::ColorAccuracy);
        engine.setRLEMaxPalleteSize(zorix::MaxPaletteSize);
        EXPECT_TRUE(engine.LoadImage(Native(source)));
        EXPECT_TRUE(engine.SaveImageAs(Native(target), type));
        return ReadAll(
            QString::fromStdString(quenda::ZorixImgEngine::DestinationPath(Native(target), type)));
    }

    void Choose(int format, const QString& folder) {
        form_->trgType()->setCurrentIndex(format);
        if (folder.isNull()) {
            form_->trgOPT(1)->setChecked(true);
        } else {
            form_->trgFolder()->setText(folder);
        }
    }

    QTreeWidgetItem* Row(int index) const { return form_->llist()->topLevelItem(index); }
    QString Status(int index) const { return Row(index)->text(1); }
    QString Icon(int index) const { return Row(index)->data(0, batchForm::kIconRole).toString(); }
    int Rows() const { return form_->llist()->topLevelItemCount(); }

    QStringList Texts() const {
        QStringList texts;
        for (const auto& shown : prompter_.shown) {
            texts << shown.text;
        }
        return texts;
    }
    const FakePrompter::Shown& Last() const { return prompter_.shown.back(); }

    QTemporaryDir scratch_;
    BatchPrompter prompter_;
    std::unique_ptr<batchForm> form_;
};

// ---------------------------------------------------------------------------
// The window and its list

TEST_F(BatchFormTest, StartsWithTheDesignState) {
    EXPECT_EQ(form_->windowTitle(), "Batch conversion");
    EXPECT_EQ(form_->trgType()->count(), 5);
    EXPECT_EQ(form_->trgType()->itemText(0), "RLE Bitmap (iPAQ)");
    EXPECT_EQ(form_->trgType()->itemText(4), "JPG");
    EXPECT_EQ(form_->trgType()->currentIndex(), -1);
    EXPECT_TRUE(form_->trgOPT(0)->isChecked());
    EXPECT_EQ(form_->trgOPT(1)->text(), "Auto (use source folders)");
    EXPECT_FALSE(form_->ckDEL()->isChecked());
    EXPECT_TRUE(form_->ckOVW()->isChecked());
    EXPECT_TRUE(form_->Frame2()->isHidden());
    EXPECT_EQ(form_->Frame1()->title(), "Options");
    EXPECT_EQ(form_->Frame2()->title(), "Overall progress");
    EXPECT_EQ(form_->tElapsed()->text(), "??:??:??");
    EXPECT_EQ(form_->tRemaining()->text(), "??:??:??");
    EXPECT_EQ(form_->addBUT()->Caption(), "&Add");
    EXPECT_EQ(form_->removeBUT()->Caption(), "&Remove");
    EXPECT_EQ(form_->browseBT()->Caption(), "&Browse");
    EXPECT_EQ(form_->runBUT()->Caption(), "&Execute");
    EXPECT_EQ(form_->closeBUT()->Caption(), "&Close");
}

TEST_F(BatchFormTest, LabelsReachTheirControlsFromTheKeyboard) {
    QStringList captions;
    for (QLabel* label : form_->findChildren<QLabel*>()) {
        if (label->buddy() == form_->trgType()) {
            captions << label->text();
        }
        if (label->buddy() == form_->trgFolder()) {
            captions << label->text();
        }
        if (label->buddy() == form_->llist()) {
            captions << label->text();
        }
    }
    captions.sort();
    EXPECT_EQ(captions, QStringList({"&Target format", "Files (you can drag-n-drop them)",
                                     "Target f&older"}));
}

// No label is cut off: each is as wide as its text, at any scale the window opens at.
TEST_F(BatchFormTest, LabelsShowTheirWholeText) {
    form_->show();
    QApplication::processEvents();
    for (QLabel* label : form_->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) {
            continue;
        }
        const int needed = label->fontMetrics().size(Qt::TextShowMnemonic, label->text()).width();
        EXPECT_GE(label->contentsRect().width(), needed) << label->text().toStdString();
    }
}

TEST_F(BatchFormTest, AddFileKeepsOneRowPerPathWhateverItsCase) {
    const QString path = PathOf("Logo.BMP");
    form_->AddFile(path);
    form_->AddFile(PathOf("logo.bmp"));
    form_->AddFile(PathOf("LOGO.bmp"));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Row(0)->text(0), "Logo.BMP");
    EXPECT_EQ(Row(0)->text(1), "");
    EXPECT_EQ(Row(0)->data(0, batchForm::kTagRole).toString(), path);
    EXPECT_EQ(Row(0)->toolTip(0), path);
    EXPECT_EQ(Row(0)->data(0, batchForm::kKeyRole).toString(), "k" + path.toLower());
}

TEST_F(BatchFormTest, AddFileTakesOnlyImageExtensions) {
    for (const char* name : {"a.bmp", "b.PNG", "c.gif", "d.jpg", "e.txt", "bmp", "f.bmp.zip"}) {
        form_->AddFile(PathOf(name));
    }
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Row(0)->text(0), "a.bmp");
    EXPECT_EQ(Row(1)->text(0), "b.PNG");
    EXPECT_EQ(Row(2)->text(0), "c.gif");
}

TEST_F(BatchFormTest, RemoveTakesTheSelectedRowAndExecuteFollowsTheList) {
    form_->AddFile(PathOf("a.bmp"));
    form_->AddFile(PathOf("b.bmp"));
    EXPECT_TRUE(form_->runBUT()->isEnabled());
    form_->removeBUT_Click();  // nothing selected
    EXPECT_EQ(Rows(), 2);
    form_->llist()->setCurrentItem(Row(0));
    form_->removeBUT_Click();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Row(0)->text(0), "b.bmp");
    EXPECT_TRUE(form_->runBUT()->isEnabled());
    form_->llist()->setCurrentItem(Row(0));
    form_->removeBUT_Click();
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(form_->runBUT()->isEnabled());
    // A removed file can be added again.
    form_->AddFile(PathOf("A.BMP"));
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(form_->runBUT()->isEnabled());
}

TEST_F(BatchFormTest, TheAddDialogOffersTheImagesAndAddsEveryChosenFile) {
    prompter_.openAnswer = {PathOf("one.bmp"), PathOf("two.png"), PathOf("ONE.bmp"),
                            PathOf("three.jpg")};
    form_->addBUT_Click();
    ASSERT_EQ(prompter_.openRequests.size(), 1u);
    EXPECT_EQ(prompter_.openRequests[0].filter, "Supported images|*.bmp;*.png;*.gif");
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(1)->text(0), "two.png");

    prompter_.openAnswer.clear();  // cancelled
    form_->addBUT_Click();
    EXPECT_EQ(Rows(), 2);
}

TEST_F(BatchFormTest, DroppingAFolderAddsTheVisibleFilesOfItsTopLevel) {
    const QString folder = MakeFolder("drop");
    Device("drop/b.bmp");
    Device("drop/a.BMP");
    Device("drop/.hidden.bmp");
    Device("drop/sub/deep.bmp");
    MakeFolder("drop/folder.bmp");
    apptest::WriteBytes(PathOf("drop/notes.txt"), {1});
    const QString single = Device("single.png");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder), QUrl::fromLocalFile(single)});
    auto* list = static_cast<zorix::FileDropList*>(form_->llist());
    form_->show();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());

    QStringList names;
    for (int i = 0; i < Rows(); ++i) {
        names << Row(i)->text(0);
    }
    EXPECT_EQ(names, QStringList({"a.BMP", "b.bmp", "single.png"}));
    EXPECT_TRUE(form_->runBUT()->isEnabled());
}

TEST_F(BatchFormTest, TargetModeShowsTheFolderControlsOnlyWhenManual) {
    EXPECT_FALSE(form_->trgFolder()->isHidden());
    form_->trgOPT(1)->setChecked(true);
    EXPECT_TRUE(form_->trgFolder()->isHidden());
    EXPECT_TRUE(form_->browseBT()->isHidden());
    EXPECT_TRUE(form_->ckDEL()->isHidden());
    form_->trgOPT(0)->setChecked(true);
    EXPECT_FALSE(form_->ckDEL()->isHidden());

    form_->ckDEL()->setChecked(true);
    EXPECT_TRUE(form_->ckOVW()->isHidden());
    form_->ckDEL()->setChecked(false);
    EXPECT_FALSE(form_->ckOVW()->isHidden());

    // A tick in the hidden "delete" box must not silence the overwrite question.
    form_->ckDEL()->setChecked(true);
    form_->trgOPT(1)->setChecked(true);
    EXPECT_FALSE(form_->ckOVW()->isHidden());
}

TEST_F(BatchFormTest, BrowseFillsTheFolderAndCancelKeepsIt) {
    prompter_.folderAnswer = "  /some/where  ";
    form_->browseBT_Click();
    EXPECT_EQ(form_->trgFolder()->text(), "/some/where");
    EXPECT_EQ(prompter_.folderTitles, QStringList({"Select folder"}));
    prompter_.folderAnswer.clear();
    form_->browseBT_Click();
    EXPECT_EQ(form_->trgFolder()->text(), "/some/where");
}

// ---------------------------------------------------------------------------
// Checks before a run

TEST_F(BatchFormTest, ChecksTheListTheFormatAndTheFolderInOrder) {
    form_->runBUT_Click();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(Last().text, "The 'Files' list is empty!");
    EXPECT_EQ(Last().title, "Batch conversion");
    EXPECT_EQ(Last().icon, Prompter::Icon::Information);

    form_->AddFile(Device("a.bmp"));
    form_->runBUT_Click();
    EXPECT_EQ(Last().text, "Please select the target format.");
    EXPECT_EQ(Last().icon, Prompter::Icon::Information);

    form_->trgType()->setCurrentIndex(3);
    form_->trgFolder()->setText("   ");
    form_->runBUT_Click();
    EXPECT_EQ(Last().text, "Please specify the target folder.");
    EXPECT_EQ(Last().title, "Batch conversion");
    EXPECT_EQ(Last().icon, Prompter::Icon::Exclamation);

    for (const char* relative : {"out", "folder/sub", "./out", "~/out"}) {
        form_->trgFolder()->setText(relative);
        form_->runBUT_Click();
        EXPECT_EQ(Last().text, "Invalid target folder.") << relative;
        EXPECT_EQ(Last().icon, Prompter::Icon::Exclamation);
    }
    EXPECT_FALSE(form_->RunFinished());
    EXPECT_EQ(Status(0), "");
}

TEST_F(BatchFormTest, AFileInPlaceOfTheFolderIsInvalid) {
    form_->AddFile(Device("a.bmp"));
    Choose(3, PathOf("a.bmp"));
    form_->runBUT_Click();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(Last().text, "Invalid target folder.");
    EXPECT_FALSE(form_->RunFinished());
}

TEST_F(BatchFormTest, AMissingFolderIsCreatedOnYes) {
    form_->AddFile(Device("a.bmp"));
    Choose(3, PathOf("new/deeper"));
    form_->runBUT_Click();
    ASSERT_GE(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text,
              "The specified target folder does not exist.\nDo you wish to create it?");
    EXPECT_EQ(prompter_.shown[0].title, "Create target folder");
    EXPECT_EQ(prompter_.shown[0].icon, Prompter::Icon::Question);
    EXPECT_EQ(prompter_.shown[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_TRUE(QFileInfo(PathOf("new/deeper/a.png")).isFile());
    EXPECT_EQ(Status(0), "done");
}

TEST_F(BatchFormTest, AMissingFolderIsLeftAloneOnNo) {
    form_->AddFile(Device("a.bmp"));
    Choose(3, PathOf("new"));
    prompter_.answers = {Prompter::Answer::No};
    form_->runBUT_Click();
    EXPECT_EQ(prompter_.shown.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(PathOf("new")));
    EXPECT_FALSE(form_->RunFinished());
}

TEST_F(BatchFormTest, AFolderThatCannotBeCreatedIsReported) {
    form_->AddFile(Device("a.bmp"));
    apptest::WriteBytes(PathOf("plain"), {1, 2, 3});
    Choose(3, PathOf("plain/sub"));
    form_->runBUT_Click();
    ASSERT_EQ(prompter_.shown.size(), 2u);
    EXPECT_EQ(Texts()[0].left(43), "The specified target folder does not exist.");
    EXPECT_EQ(Last().text, "Unable to create target folder.");
    EXPECT_EQ(Last().title, "Error");
    EXPECT_EQ(Last().icon, Prompter::Icon::Exclamation);
    EXPECT_FALSE(form_->RunFinished());
}

TEST_F(BatchFormTest, TheFileSystemRootAsksBeforeAnything) {
    form_->AddFile(Device("a.bmp"));
    form_->setVolumeRoots(zorix::MountedVolumeRoots());
    Choose(3, "/");
    prompter_.answers = {Prompter::Answer::No};
    form_->runBUT_Click();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(Last().text,
              "The target folder you specified is a root folder.\nAre you sure you want to "
              "proceed?");
    EXPECT_EQ(Last().title, "Batch conversion");
    EXPECT_EQ(Last().icon, Prompter::Icon::Question);
    EXPECT_EQ(Last().buttons, Prompter::Buttons::YesNo);
    EXPECT_FALSE(form_->RunFinished());
}

TEST_F(BatchFormTest, AVolumeRootAsksAgainBeforeItsContentsAreDeleted) {
    const QString volume = MakeFolder("volume");
    const QString keepMe = Device("volume/keep.bmp");
    form_->setVolumeRoots({volume + "/"});
    form_->AddFile(Device("a.bmp"));
    Choose(3, volume);
    form_->ckDEL()->setChecked(true);
    prompter_.answers = {Prompter::Answer::Yes, Prompter::Answer::No};
    form_->runBUT_Click();
    ASSERT_GE(prompter_.shown.size(), 2u);
    EXPECT_EQ(prompter_.shown[1].text, "Are you sure you want to delete all folder contents?");
    EXPECT_EQ(prompter_.shown[1].title, "Delete root folder contents");
    EXPECT_EQ(prompter_.shown[1].icon, Prompter::Icon::Question);
    EXPECT_FALSE(form_->ckDEL()->isChecked());
    EXPECT_TRUE(QFileInfo::exists(keepMe));
    EXPECT_EQ(Status(0), "done");
}

TEST_F(BatchFormTest, DeletingTheContentsSparesFoldersHiddenFilesAndTheListsOwnFiles) {
    const QString out = MakeFolder("out");
    apptest::WriteBytes(PathOf("out/old.png"), {1, 2, 3});
    apptest::WriteBytes(PathOf("out/.hidden"), {1});
    MakeFolder("out/sub");
    const QString inside = Device("out/inside.bmp");
    form_->AddFile(Device("a.bmp"));
    form_->AddFile(inside);
    Choose(3, out);
    form_->ckDEL()->setChecked(true);
    form_->runBUT_Click();

    EXPECT_FALSE(QFileInfo::exists(PathOf("out/old.png")));
    EXPECT_TRUE(QFileInfo::exists(PathOf("out/.hidden")));
    EXPECT_TRUE(QFileInfo(PathOf("out/sub")).isDir());
    EXPECT_TRUE(QFileInfo::exists(inside));
    EXPECT_EQ(Status(1), "done");
    EXPECT_TRUE(QFileInfo::exists(PathOf("out/inside.png")));
    EXPECT_FALSE(Row(1)->toolTip(1).isEmpty());  // the row says it was kept
    EXPECT_TRUE(Row(0)->toolTip(1).isEmpty());
    // No overwrite questions with the contents deleted.
    EXPECT_EQ(Texts(), QStringList({"Batch conversion complete."}));
}

// ---------------------------------------------------------------------------
// The run

TEST_F(BatchFormTest, ConvertsLikeTheEngineAndReportsACorruptFileInItsRow) {
    const QString a = Device("in/a.bmp", 40, 30);
    const QString b = Device("in/b.bmp", 17, 9);
    const QString bad = Corrupt("in/bad.bmp");
    const QString out = MakeFolder("out");
    for (const QString& file : {a, bad, b}) {
        form_->AddFile(file);
    }
    Choose(3, out);
    form_->runBUT_Click();

    EXPECT_EQ(Status(0), "done");
    EXPECT_EQ(Icon(0), "ok");
    EXPECT_EQ(Status(1), "error loading image");
    EXPECT_EQ(Icon(1), "x");
    EXPECT_FALSE(Row(1)->toolTip(1).isEmpty());
    EXPECT_EQ(Status(2), "done");
    EXPECT_EQ(ReadAll(out + "/a.png"), Expected(a, quenda::IS_PNG));
    EXPECT_EQ(ReadAll(out + "/b.png"), Expected(b, quenda::IS_PNG));
    EXPECT_FALSE(QFileInfo::exists(out + "/bad.png"));

    EXPECT_EQ(Last().text, "Batch conversion complete.");
    EXPECT_EQ(Last().icon, Prompter::Icon::Information);
    EXPECT_TRUE(form_->RunFinished());
    EXPECT_EQ(form_->pb()->Value(), 100);
    EXPECT_EQ(form_->lblAct()->text(), "Converting file 3 of 3");
    EXPECT_TRUE(form_->Frame2()->isHidden());
    EXPECT_TRUE(form_->Frame1()->isHidden());
}

TEST_F(BatchFormTest, EveryTargetFormatMatchesTheEngine) {
    const QString png = Converted("pic.png", quenda::IS_PNG);
    const std::array<const char*, 5> extensions = {"bmp", "bmp", "bmp", "png", "jpg"};
    for (int format = 0; format < 5; ++format) {
        if (format == 3) {
            continue;  // a PNG to PNG is a copy
        }
        BatchPrompter prompter;
        batchForm form(prompter);
        const QString out = MakeFolder(QStringLiteral("out%1").arg(format));
        form.AddFile(png);
        form.trgType()->setCurrentIndex(format);
        form.trgFolder()->setText(out);
        form.runBUT_Click();
        const auto type = static_cast<quenda::IMG_SAVE_TYPES>(format + 1);
        EXPECT_EQ(form.llist()->topLevelItem(0)->text(1), "done") << format;
        EXPECT_EQ(ReadAll(out + "/pic." + extensions[format]), Expected(png, type)) << format;
    }
}

TEST_F(BatchFormTest, ADeviceBitmapBesideItselfIsSkipped) {
    const QString logo = Device("a/logo.bmp");
    const auto before = ReadAll(logo);
    form_->AddFile(logo);
    Choose(0, QString());
    form_->runBUT_Click();
    EXPECT_EQ(Status(0), "skipped (no conversion)");
    EXPECT_EQ(Icon(0), "skip");
    EXPECT_EQ(ReadAll(logo), before);
    EXPECT_EQ(Texts(), QStringList({"Batch conversion complete."}));
}

TEST_F(BatchFormTest, ADeviceBitmapIntoAFolderIsCopiedWithoutAQuestion) {
    const QString logo = Device("a/logo.bmp");
    const QString out = MakeFolder("out");
    apptest::WriteBytes(out + "/logo.bmp", {9, 9, 9});
    form_->AddFile(logo);
    Choose(0, out);
    form_->runBUT_Click();
    EXPECT_EQ(Status(0), "copy ok (no conversion)");
    EXPECT_EQ(Icon(0), "ok");
    EXPECT_EQ(ReadAll(out + "/logo.bmp"), ReadAll(logo));
    EXPECT_EQ(Texts(), QStringList({"Batch conversion complete."}));
}

TEST_F(BatchFormTest, ACopyThatFailsSaysWhyInItsToolTip) {
    const QString logo = Device("a/logo.bmp");
    const QString out = MakeFolder("out");
    MakeFolder("out/logo.bmp");  // a folder where the copy should go
    form_->AddFile(logo);
    Choose(0, out);
    form_->runBUT_Click();
    EXPECT_EQ(Status(0), "copy error (no conversion)");
    EXPECT_EQ(Icon(0), "x");
    EXPECT_FALSE(Row(0)->toolTip(1).isEmpty());
}

TEST_F(BatchFormTest, AnExistingTargetIsReplacedOnlyWhenTheUserSaysSo) {
    const QString png = Converted("pic.png", quenda::IS_PNG);
    const QString target = PathOf("pic.bmp");
    apptest::WriteBytes(target, {7, 7, 7});
    form_->AddFile(png);
    Choose(1, QString());
    prompter_.answers = {Prompter::Answer::No};
    form_->runBUT_Click();
    ASSERT_EQ(prompter_.shown.size(), 2u);
    EXPECT_EQ(prompter_.shown[0].text,
              "File '" + target + "' already exists.\nOverwrite existing file?");
    EXPECT_EQ(prompter_.shown[0].title, "Overwrite file");
    EXPECT_EQ(prompter_.shown[0].icon, Prompter::Icon::Question);
    EXPECT_EQ(Status(0), "skipped (no overwrite)");
    EXPECT_EQ(Icon(0), "skip");
    EXPECT_EQ(ReadAll(target), std::vector<uint8_t>({7, 7, 7}));

    BatchPrompter yes;
    yes.defaultAnswer = Prompter::Answer::Yes;
    batchForm again(yes);
    again.AddFile(png);
    again.trgType()->setCurrentIndex(1);
    again.trgOPT(1)->setChecked(true);
    again.runBUT_Click();
    EXPECT_EQ(yes.shown.size(), 2u);
    EXPECT_EQ(again.llist()->topLevelItem(0)->text(1), "done");
    EXPECT_EQ(ReadAll(target), Expected(png, quenda::IS_BMP_24));
}

TEST_F(BatchFormTest, WithoutPromptOverwriteAnExistingTargetIsReplaced) {
    const QString png = Converted("pic.png", quenda::IS_PNG);
    apptest::WriteBytes(PathOf("pic.bmp"), {7, 7, 7});
    form_->AddFile(png);
    Choose(1, QString());
    form_->ckOVW()->setChecked(false);
    form_->runBUT_Click();
    EXPECT_EQ(Texts(), QStringList({"Batch conversion complete."}));
    EXPECT_EQ(Status(0), "done");
}

TEST_F(BatchFormTest, ASourceIsNeverReplacedByItsOwnConversionWithoutAYes) {
    const QString bmp = Converted("plain.bmp", quenda::IS_BMP_24);
    const auto before = ReadAll(bmp);
    form_->AddFile(bmp);
    Choose(1, QString());
    form_->ckOVW()->setChecked(false);
    prompter_.answers = {Prompter::Answer::No};
    form_->runBUT_Click();
    ASSERT_EQ(prompter_.shown.size(), 2u);
    EXPECT_EQ(prompter_.shown[0].title, "Overwrite file");
    EXPECT_EQ(Status(0), "skipped (no overwrite)");
    EXPECT_EQ(ReadAll(bmp), before);
}

TEST_F(BatchFormTest, TheSecondRowAimingAtTheSameTargetIsRefused) {
    const QString png = Converted("pic.png", quenda::IS_PNG);
    const QString gif = Gif("pic.gif");
    const QString out = MakeFolder("out");
    form_->AddFile(png);
    form_->AddFile(gif);
    Choose(1, out);
    form_->runBUT_Click();
    EXPECT_EQ(Status(0), "done");
    EXPECT_EQ(Status(1), "error converting image");
    EXPECT_EQ(Icon(1), "x");
    EXPECT_TRUE(Row(1)->toolTip(1).contains(png)) << Row(1)->toolTip(1).toStdString();
    EXPECT_EQ(ReadAll(out + "/pic.bmp"), Expected(png, quenda::IS_BMP_24));
    EXPECT_EQ(Texts(), QStringList({"Batch conversion complete."}));
}

TEST_F(BatchFormTest, AGifIsConvertedToJpegNotCopied) {
    const QString gif = Gif("anim.gif");
    const QString out = MakeFolder("out");
    form_->AddFile(gif);
    Choose(4, out);
    form_->runBUT_Click();
    EXPECT_EQ(Status(0), "done");
    EXPECT_EQ(ReadAll(out + "/anim.jpg"), Expected(gif, quenda::IS_JPG));
}

TEST_F(BatchFormTest, EachRunHasItsOwnEngineWithTheProgramWideOptions) {
    const float accuracy = zorix::ColorAccuracy;
    const int32_t size = zorix::MaxPaletteSize;
    zorix::ColorAccuracy = 95.5f;
    zorix::MaxPaletteSize = 12;
    form_->AddFile(Device("a.bmp"));
    form_->AddFile(Device("b.bmp"));
    Choose(3, MakeFolder("out"));
    std::vector<quenda::ZorixImgEngine*> engines;
    QObject::connect(form_.get(), &batchForm::fileStarted, [&](int) {
        engines.push_back(form_->RunEngine());
        EXPECT_TRUE(form_->IsRunning());
        EXPECT_EQ(form_->RunEngine()->RLEColorAccuracy(), 95.5f);
        EXPECT_EQ(form_->RunEngine()->RLEMaxPalleteSize(), 12);
    });
    form_->runBUT_Click();
    zorix::ColorAccuracy = accuracy;
    zorix::MaxPaletteSize = size;
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_NE(engines[0], nullptr);
    EXPECT_EQ(engines[0], engines[1]);
    EXPECT_EQ(form_->RunEngine(), nullptr);
}

TEST_F(BatchFormTest, RowsWaitUntilTheirTurnAndTheButtonsStayOffAfterTheRun) {
    form_->AddFile(Device("a.bmp"));
    form_->AddFile(Device("b.bmp"));
    Choose(3, MakeFolder("out"));
    QStringList secondRow;
    QObject::connect(form_.get(), &batchForm::fileStarted, [&](int) {
        secondRow << Status(1);
        EXPECT_FALSE(form_->addBUT()->isEnabled());
        EXPECT_FALSE(form_->removeBUT()->isEnabled());
        EXPECT_FALSE(form_->runBUT()->isEnabled());
        EXPECT_EQ(form_->closeBUT()->Caption(), "&Cancel");
        EXPECT_FALSE(form_->Frame2()->isHidden());
        EXPECT_TRUE(form_->Frame1()->isHidden());
        EXPECT_EQ(form_->llist()->currentItem()->text(1), "waiting");
    });
    form_->runBUT_Click();
    EXPECT_EQ(secondRow, QStringList({"waiting", "waiting"}));
    EXPECT_FALSE(form_->addBUT()->isEnabled());
    EXPECT_FALSE(form_->removeBUT()->isEnabled());
    EXPECT_FALSE(form_->runBUT()->isEnabled());
    EXPECT_TRUE(form_->closeBUT()->isEnabled());
    EXPECT_EQ(form_->closeBUT()->Caption(), "&Close");

    // One run per window: nothing more is added or started.
    form_->AddFile(Device("c.bmp"));
    EXPECT_EQ(Rows(), 2);
    const size_t shown = prompter_.shown.size();
    form_->runBUT_Click();
    EXPECT_EQ(prompter_.shown.size(), shown);
}

TEST_F(BatchFormTest, CancelWithYesStopsAfterTheCurrentFile) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        form_->AddFile(Device(name));
    }
    Choose(3, MakeFolder("out"));
    QObject::connect(form_.get(), &batchForm::fileStarted, [&](int index) {
        if (index == 1) {
            form_->closeBUT_Click();
            EXPECT_FALSE(form_->closeBUT()->isEnabled());
            form_->close();  // refused while running
            EXPECT_TRUE(form_->IsRunning());
        }
    });
    prompter_.answers = {Prompter::Answer::Yes};
    form_->runBUT_Click();
    EXPECT_EQ(Texts(), QStringList({"Are you sure you want to cancel the batch process?"}));
    EXPECT_EQ(prompter_.shown[0].icon, Prompter::Icon::Question);
    EXPECT_EQ(Status(0), "done");
    EXPECT_EQ(Status(1), "waiting");
    EXPECT_EQ(Status(2), "waiting");
    EXPECT_TRUE(form_->closeBUT()->isEnabled());
    EXPECT_EQ(form_->closeBUT()->Caption(), "&Close");
    EXPECT_FALSE(form_->IsRunning());
}

TEST_F(BatchFormTest, CancelWithNoGoesOn) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        form_->AddFile(Device(name));
    }
    Choose(3, MakeFolder("out"));
    QObject::connect(form_.get(), &batchForm::fileStarted, [&](int index) {
        if (index == 2) {
            form_->closeBUT_Click();
        }
    });
    prompter_.answers = {Prompter::Answer::No};
    form_->runBUT_Click();
    EXPECT_EQ(Texts(), QStringList({"Are you sure you want to cancel the batch process?",
                                    "Batch conversion complete."}));
    EXPECT_EQ(Status(2), "done");
}

TEST_F(BatchFormTest, RemainingTimeFirstShowsAtTheThirdFile) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) {
        form_->AddFile(Device(name));
    }
    Choose(3, MakeFolder("out"));
    double now = 100;
    form_->setClock([&] { return now += 1.5; });
    QStringList elapsed;
    QStringList remaining;
    QObject::connect(form_.get(), &batchForm::fileStarted, [&](int) {
        elapsed << form_->tElapsed()->text();
        remaining << form_->tRemaining()->text();
    });
    form_->runBUT_Click();
    // Start at 101.5; files start at 103, 104.5, 106, 107.5.
    EXPECT_EQ(elapsed, QStringList({"00:00:02", "00:00:03", "00:00:04", "00:00:06"}));
    EXPECT_EQ(remaining, QStringList({"??:??:??", "??:??:??", "00:00:02", "00:00:00"}));
}

TEST_F(BatchFormTest, TheTimesWaitASecondBetweenUpdates) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        form_->AddFile(Device(name));
    }
    Choose(3, MakeFolder("out"));
    double now = 0;
    form_->setClock([&] { return now += 0.4; });
    QStringList elapsed;
    QObject::connect(form_.get(), &batchForm::fileStarted,
                     [&](int) { elapsed << form_->tElapsed()->text(); });
    form_->runBUT_Click();
    EXPECT_EQ(elapsed, QStringList({"??:??:??", "??:??:??", "00:00:01"}));
}

TEST_F(BatchFormTest, TheSelectedRowShowsDecodingAndEncodingProgress) {
    form_->AddFile(PathOf("a.bmp"));
    form_->RLEDecoding("a.bmp", 12.5f);
    EXPECT_EQ(Status(0), "");  // no row selected
    form_->llist()->setCurrentItem(Row(0));
    form_->RLEDecoding("a.bmp", 12.5f);
    EXPECT_EQ(Status(0), "decoding RLE (12.5%)");
    form_->RLEEncoding("a.bmp", 2, "Reducing Palette", "", 100.0f, 40);
    EXPECT_EQ(Status(0), "reducing palette (100%)");
    form_->RLEEncoding("a.bmp", 3, "Writing File", "", -1.0f, 40);
    EXPECT_EQ(Status(0), "writing file");
}

TEST_F(BatchFormTest, ARunShowsTheEngineProgressOfADeviceBitmap) {
    form_->AddFile(Device("a.bmp", 30, 40));
    Choose(3, MakeFolder("out"));
    QStringList seen;
    QObject::connect(form_->llist(), &QTreeWidget::itemChanged,
                     [&](QTreeWidgetItem* item, int column) {
                         if (column == 1) {
                             seen << item->text(1);
                         }
                     });
    form_->runBUT_Click();
    EXPECT_TRUE(seen.contains("decoding RLE (100%)")) << seen.join(" | ").toStdString();
    EXPECT_EQ(seen.back(), "done");
}

// ---------------------------------------------------------------------------
// The main window opens it

TEST(BatchFromMainWindow, TheMenuItemOpensTheWindowModally) {
    apptest::ClearStore();
    FakePrompter prompter;
    zorix::mainForm main(prompter);
    main.Startup();
    QAction* item = main.findChild<QAction*>("mBatch");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Batch conversion");
    QString title;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (auto* form = qobject_cast<batchForm*>(shown)) {
            title = form->windowTitle();
            modal = form->isModal();
            form->closeBUT_Click();
        }
    });
    item->trigger();
    EXPECT_EQ(title, "Batch conversion");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(main.findChildren<batchForm*>().isEmpty());  // destroyed on close
    apptest::ClearStore();
}

}  // namespace
