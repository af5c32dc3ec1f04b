// The main window's save command: the dialog it opens, what the engine writes,
// the file list afterwards, the error message, the encoding progress window and
// the busy rule (no second engine call, no close, the focus given back).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "MainFormFixture.h"
#include "app/QtPrompter.h"
#include "app/encForm.h"
#include "button/VkButton.h"
#include "engine/TestImages.h"
#include "engine/ZorixImgEngine.h"
#include "support/RLEBuilder.h"

namespace {

using zorix::mainForm;
using zorix::Prompter;

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a fresh engine writes for the source: what a conversion writes.
QByteArray Converted(const QString& source, const QString& target, int type) {
    quenda::ZorixImgEngine engine;
    if (!engine.LoadImage(QFile::encodeName(source).toStdString()) ||
        !engine.SaveImageAs(QFile::encodeName(target).toStdString(), type)) {
        return {};
    }
    return Bytes(QString::fromStdString(quenda::ZorixImgEngine::DestinationPath(
        QFile::encodeName(target).toStdString(), static_cast<quenda::IMG_SAVE_TYPES>(type))));
}

// Runs an action inside the engine's events, noting what the window shows.
class Probe : public quenda::ZorixImgEngineEvents {
  public:
    explicit Probe(mainForm& form) : form_(form) {}
    void RLEDecoding(const std::string&, float) override {
        ++decoding;
        Note();
    }
    void RLEEncoding(const std::string&, int16_t, const std::string&, const std::string&, float,
                     int32_t) override {
        ++encoding;
        Note();
    }

    int decoding = 0;
    int encoding = 0;
    bool windowEnabled = true;
    bool saveButtonEnabled = true;
    bool sawEncodingWindow = false;
    bool encodingWindowOnTop = false;
    std::function<void()> during;

  private:
    void Note() {
        windowEnabled = form_.isEnabled();
        saveButtonEnabled = form_.btSave(1)->isEnabled();
        if (form_.EncodingWindow()) {
            sawEncodingWindow = sawEncodingWindow || form_.EncodingWindow()->isVisible();
            encodingWindowOnTop =
                form_.EncodingWindow()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        }
        if (during) {
            std::function<void()> once = std::move(during);
            during = nullptr;
            once();
        }
    }
    mainForm& form_;
};

class SaveCommandTest : public apptest::MainFormFixture {
  protected:
    void WriteDevice(const QString& name, int w, int h, bool alpha, size_t padTo = 0) {
        apptest::WriteBytes(FilePath(name), apptest::MakeDeviceBitmap(w, h, 6, alpha, padTo));
    }
};

TEST_F(SaveCommandTest, DialogProposesTheShownFileWithTheFormatsSettings) {
    WriteDevice("logo.old.bmp", 8, 6, false);
    mainForm& form = Start();
    Select("logo.old.bmp");
    for (int i = 1; i <= 5; ++i) {
        form.SaveFile(i);
    }
    ASSERT_EQ(prompter_.saveRequests.size(), 5u);
    const char* extensions[] = {"bmp", "bmp", "bmp", "png", "jpg"};
    for (int i = 0; i < 5; ++i) {
        const Prompter::SaveRequest& r = prompter_.saveRequests[static_cast<size_t>(i)];
        EXPECT_EQ(r.initialFolder, Folder() + "/") << i;
        EXPECT_EQ(r.initialName, "logo.old") << i;
        EXPECT_EQ(r.defaultExtension, extensions[i]) << i;
        EXPECT_TRUE(r.promptOverwrite);
    }
    EXPECT_EQ(prompter_.saveRequests[2].filter, "ARGB Bitmap files|*.bmp");
    EXPECT_EQ(prompter_.saveRequests[0].filter, "RLE Bitmap files|*.bmp");
    // A cancelled dialog is silent and writes nothing.
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_EQ(form.llist()->topLevelItemCount(), 1);
}

TEST_F(SaveCommandTest, NothingHappensWithoutAnImage) {
    mainForm& form = Start();
    form.SaveFile(4);
    EXPECT_TRUE(prompter_.saveRequests.empty());
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(SaveCommandTest, HiddenNameAndAFileOutsideTheCurrentFolder) {
    QTemporaryDir other;
    const QString elsewhere = QDir(other.path()).canonicalPath();
    apptest::WriteBytes(elsewhere + "/.bmp", apptest::MakeDeviceBitmap(5, 5, 3, false));
    apptest::WriteBytes(FilePath("here.bmp"), apptest::MakeDeviceBitmap(5, 5, 3, false));
    mainForm& form = Start();
    Select("here.bmp");
    form.ShowImageFile(elsewhere + "/.bmp");
    ASSERT_TRUE(form.SaveEnabled());
    prompter_.saveAnswer = FilePath("copy.png");
    form.SaveFile(4);
    ASSERT_EQ(prompter_.saveRequests.size(), 1u);
    EXPECT_EQ(prompter_.saveRequests[0].initialFolder, elsewhere + "/");
    EXPECT_EQ(prompter_.saveRequests[0].initialName, ".bmp");
    // Saved into the current folder; the shown file is not listed there, silently.
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_NE(Item("copy.png"), nullptr);
    EXPECT_EQ(form.ShownPath(), elsewhere + "/.bmp");
}

TEST_F(SaveCommandTest, NothingShownProposesTheCurrentFolder) {
    apptest::WriteBytes(FilePath("junk.bmp"), {'n', 'o', 'p', 'e'});
    WriteDevice("good.bmp", 4, 4, false);
    mainForm& form = Start();
    Select("good.bmp");
    Select("junk.bmp");
    form.SaveFile(1);  // saving is off after a failed load: nothing is asked
    EXPECT_TRUE(prompter_.saveRequests.empty());
}

TEST_F(SaveCommandTest, SavingIntoTheShownFolderListsTheFileAndKeepsTheSelection) {
    WriteDevice("logo.bmp", 12, 9, true);
    mainForm& form = Start();
    Select("logo.bmp");
    Probe probe(form);
    form.Engine()->Subscribe(&probe);
    prompter_.saveAnswer = FilePath("out.png");
    form.SaveFile(4);
    form.Engine()->Unsubscribe(&probe);
    EXPECT_TRUE(prompter_.shown.empty());
    ASSERT_NE(Item("out.png"), nullptr);
    QTreeWidgetItem* shown = Item("logo.bmp");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(form.llist()->currentItem(), shown);
    EXPECT_TRUE(shown->isSelected());
    EXPECT_EQ(probe.decoding, 0);  // selected again, not loaded again
    EXPECT_EQ(form.ShownPath(), FilePath("logo.bmp"));
}

TEST_F(SaveCommandTest, EveryFormatWritesWhatAConversionWrites) {
    WriteDevice("src.bmp", 30, 20, true);
    mainForm& form = Start();
    Select("src.bmp");
    QTemporaryDir reference;
    // All five in a row from one shown image, by the header buttons; the names
    // carry other extensions, which the engine corrects.
    const char* names[] = {"", "a.png", "b", "c.jpg", "d.bmp", "e"};
    const char* written[] = {"", "a.bmp", "b.bmp", "c.bmp", "d.png", "e.jpg"};
    for (int i : {2, 1, 3, 5, 4}) {
        prompter_.saveAnswer = FilePath(names[i]);
        emit static_cast<VkButton*>(form.btSave(i))->Click();
        const QByteArray saved = Bytes(FilePath(written[i]));
        ASSERT_FALSE(saved.isEmpty()) << written[i];
        EXPECT_EQ(saved, Converted(FilePath("src.bmp"), reference.path() + "/" + names[i], i))
            << written[i];
    }
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_TRUE(form.Engine()->ImageHasAlpha());
}

// A photo whose rows hold more colours than the format addresses: the window saves
// it with the default options, byte for byte as zorix-cli converts it.
TEST_F(SaveCommandTest, ColourfulPhotoSavesAsTheCommandLineConvertsIt) {
    const auto photo = enginetest::PhotoLike(600, 30, 6.0, 9);
    ASSERT_TRUE(photo->SaveToFile_PNG(QFile::encodeName(FilePath("photo.png")).toStdString()));
    mainForm& form = Start();
    Select("photo.png");
    ASSERT_TRUE(form.SaveEnabled());
    Probe probe(form);
    form.Engine()->Subscribe(&probe);
    prompter_.saveAnswer = FilePath("device.bmp");
    form.SaveFile(1);
    form.Engine()->Unsubscribe(&probe);
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_GT(probe.encoding, 0);
    EXPECT_TRUE(form.Engine()->RLERowsReduced());
    const QByteArray saved = Bytes(FilePath("device.bmp"));
    ASSERT_FALSE(saved.isEmpty());
    QTemporaryDir other;
    const QString target = other.path() + "/cli.bmp";
    QProcess cli;
    cli.start(QStringLiteral(ZORIX_CLI_PATH),
              {"convert", "--to", "rle", "--quiet", "-o", target, FilePath("photo.png")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(saved, Bytes(target));
}

TEST_F(SaveCommandTest, UnwritableDestinationShowsTheReason) {
    WriteDevice("p.bmp", 4, 4, false);
    mainForm& form = Start();
    Select("p.bmp");
    prompter_.saveAnswer = FilePath("no/such/folder/p.png");
    form.SaveFile(4);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_TRUE(prompter_.shown[0].text.startsWith("Error saving image.\n"))
        << prompter_.shown[0].text.toStdString();
}

TEST_F(SaveCommandTest, EncodingWindowWhileTheMainWindowIsDisabled) {
    WriteDevice("enc.bmp", 40, 30, true);
    mainForm& form = Start();
    Select("enc.bmp");
    Probe probe(form);
    bool secondSaveAsked = false;
    probe.during = [&] {
        // Nothing can start a second engine call meanwhile.
        const size_t asked = prompter_.saveRequests.size();
        form.SaveFile(2);
        secondSaveAsked = prompter_.saveRequests.size() != asked;
    };
    form.Engine()->Subscribe(&probe);
    prompter_.saveAnswer = FilePath("enc-out.bmp");
    form.SaveFile(1);
    form.Engine()->Unsubscribe(&probe);
    EXPECT_TRUE(probe.sawEncodingWindow);
    EXPECT_TRUE(probe.encodingWindowOnTop);
    EXPECT_FALSE(probe.windowEnabled);
    EXPECT_FALSE(secondSaveAsked);
    EXPECT_EQ(form.EncodingWindow(), nullptr);
    EXPECT_TRUE(form.isEnabled());
    EXPECT_TRUE(form.btSave(1)->isEnabled());
    EXPECT_NE(Item("enc-out.bmp"), nullptr);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(SaveCommandTest, SaveButtonsAreDisabledDuringADecode) {
    WriteDevice("large.bmp", 60, 60, false, 16384);
    mainForm& form = Start();
    Probe probe(form);
    bool saveAsked = false;
    probe.during = [&] {
        form.SaveFile(4);
        saveAsked = !prompter_.saveRequests.empty();
    };
    form.Engine()->Subscribe(&probe);
    Select("large.bmp");
    form.Engine()->Unsubscribe(&probe);
    ASSERT_GT(probe.decoding, 0);
    EXPECT_FALSE(probe.saveButtonEnabled);
    EXPECT_FALSE(saveAsked);
    EXPECT_TRUE(form.btSave(1)->isEnabled());
}

TEST_F(SaveCommandTest, CloseRequestDuringADecodeWaitsForTheEnd) {
    WriteDevice("large.bmp", 60, 60, false, 16384);
    mainForm& form = Start();
    Probe probe(form);
    bool closedInside = true;
    size_t questionsInside = 99;
    probe.during = [&] {
        closedInside = form.close();
        questionsInside = prompter_.shown.size();
    };
    form.Engine()->Subscribe(&probe);
    prompter_.defaultAnswer = Prompter::Answer::Yes;
    Select("large.bmp");
    EXPECT_FALSE(closedInside);
    EXPECT_EQ(questionsInside, 0u);
    ASSERT_NE(form.Engine(), nullptr);
    EXPECT_TRUE(form.SaveEnabled());
    form.Engine()->Unsubscribe(&probe);
    // Made again once the load has returned.
    QApplication::processEvents();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, "Do you realy want to exit Zorix?");
    EXPECT_EQ(form.Engine(), nullptr);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SaveCommandTest, CloseRequestDuringAnEncodingWaitsForTheEnd) {
    WriteDevice("enc.bmp", 30, 30, false);
    mainForm& form = Start();
    Select("enc.bmp");
    Probe probe(form);
    bool closedInside = true;
    probe.during = [&] { closedInside = form.close(); };
    form.Engine()->Subscribe(&probe);
    prompter_.saveAnswer = FilePath("x.bmp");
    form.SaveFile(1);
    form.Engine()->Unsubscribe(&probe);
    EXPECT_FALSE(closedInside);
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_NE(Item("x.bmp"), nullptr);
    QApplication::processEvents();
    ASSERT_EQ(prompter_.shown.size(), 1u);  // answered No: the window stays
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.Engine(), nullptr);
}

class FocusTest : public SaveCommandTest {
  protected:
    mainForm& StartFocused() {
        mainForm& form = Start();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.llist()->setFocus();
        QApplication::processEvents();
        return form;
    }
};

TEST_F(FocusTest, ListKeepsTheFocusAfterALargeFile) {
    WriteDevice("large.bmp", 60, 60, false, 16384);
    mainForm& form = StartFocused();
    ASSERT_TRUE(form.llist()->hasFocus());
    Select("large.bmp");
    ASSERT_TRUE(form.SaveEnabled());
    EXPECT_EQ(QApplication::focusWidget(), form.llist());
}

TEST_F(FocusTest, ArrowKeysBrowseSmallAndLargeFiles) {
    WriteDevice("a-small.bmp", 8, 8, false);
    WriteDevice("b-large.bmp", 60, 60, false, 16384);
    WriteDevice("c-small.bmp", 8, 8, false);
    WriteDevice("d-large.bmp", 60, 60, false, 20000);
    WriteDevice("e-small.bmp", 8, 8, false);
    mainForm& form = StartFocused();
    form.llist()->sortItems(0, Qt::AscendingOrder);
    Select("a-small.bmp");
    for (const char* name : {"b-large.bmp", "c-small.bmp", "d-large.bmp", "e-small.bmp"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(form.ShownPath(), FilePath(name));
        EXPECT_EQ(QApplication::focusWidget(), form.llist()) << name;
    }
}

TEST_F(FocusTest, FocusComesBackAfterAnEncoding) {
    WriteDevice("enc.bmp", 30, 30, false);
    mainForm& form = StartFocused();
    Select("enc.bmp");
    prompter_.saveAnswer = FilePath("y.bmp");
    form.SaveFile(1);
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.focusWidget(), form.llist());
}

// The real dialog, from the keyboard: the name field has the focus, a typed name
// and Enter save; an existing name asks before anything is written.
class RealDialogTest : public SaveCommandTest {
  protected:
    void StartReal() {
        form_ = std::make_unique<mainForm>(real_);
        form_->Startup();
        form_->show();
        QApplication::processEvents();
    }
    // Runs `step` on the dialog once it is shown.
    void OnDialog(std::function<void(QWidget*)> step) {
        QTimer::singleShot(0, [step] {
            QWidget* dialog = QApplication::activeModalWidget();
            for (int i = 0; i < 200 && !dialog; ++i) {
                QTest::qWait(10);
                dialog = QApplication::activeModalWidget();
            }
            if (dialog) {
                step(dialog);
            }
        });
    }
    static void TypeName(QWidget* dialog, const QString& name) {
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(dialog->focusWidget(), edit);
        edit->selectAll();
        QTest::keyClicks(edit, name);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    zorix::QtPrompter real_;
};

TEST_F(RealDialogTest, TypedNameAndEnterSave) {
    WriteDevice("shown.bmp", 10, 10, false);
    StartReal();
    Select("shown.bmp");
    bool nativeOff = false;
    QString proposed;
    OnDialog([&](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        nativeOff = fileDialog->testOption(QFileDialog::DontUseNativeDialog);
        proposed = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        TypeName(dialog, "typed");
    });
    form_->mSaveFile(4)->trigger();
    EXPECT_TRUE(nativeOff);
    EXPECT_EQ(proposed, "shown");
    EXPECT_TRUE(QFile::exists(FilePath("typed.png")));
    EXPECT_NE(Item("typed.png"), nullptr);
}

TEST_F(RealDialogTest, ExistingFileAsksFirst) {
    WriteDevice("shown.bmp", 10, 10, false);
    apptest::WriteBytes(FilePath("keep.png"), {1, 2, 3});
    StartReal();
    Select("shown.bmp");
    QString question;
    OnDialog([&](QWidget* dialog) {
        QTimer::singleShot(0, [&question, dialog] {
            QWidget* box = QApplication::activeModalWidget();
            for (int i = 0; i < 200 && (!box || box == dialog); ++i) {
                QTest::qWait(10);
                box = QApplication::activeModalWidget();
            }
            if (auto* message = qobject_cast<QMessageBox*>(box)) {
                question = message->text();
                message->button(QMessageBox::No)->click();
            }
            QTimer::singleShot(0, [dialog] { qobject_cast<QFileDialog*>(dialog)->reject(); });
        });
        TypeName(dialog, "keep.png");
    });
    form_->mSaveFile(4)->trigger();
    EXPECT_FALSE(question.isEmpty());
    EXPECT_EQ(Bytes(FilePath("keep.png")), QByteArray("\x01\x02\x03", 3));
}

}  // namespace
