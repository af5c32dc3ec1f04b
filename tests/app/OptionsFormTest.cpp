#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AppTestSupport.h"
#include "app/DigitEdit.h"
#include "app/FocusFrame.h"
#include "app/UpdateCheck.h"
#include "app/frmAbout.h"
#include "app/mainForm.h"
#include "app/modSettings.h"
#include "app/optionsForm.h"
#include "button/VkButton.h"

using apptest::FakePrompter;
using zorix::ColorAccuracy;
using zorix::MaxPaletteSize;
using zorix::optionsForm;

namespace {

class OptionsFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        apptest::ClearStore();
        ColorAccuracy = 100.0f;
        MaxPaletteSize = 0;
    }
    void TearDown() override {
        apptest::ClearStore();
        ColorAccuracy = 100.0f;
        MaxPaletteSize = 0;
    }

    static void Click(VkButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Moves the focus out of the palette box to another control of the dialog.
    static void LeaveBox(optionsForm& form) {
        form.show();
        form.activateWindow();
        form.mps()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        form.ck()->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};

TEST_F(OptionsFormTest, CaptionControlsAndTexts) {
    optionsForm form;
    EXPECT_EQ(form.windowTitle(), "Options");
    EXPECT_TRUE(form.isModal());
    EXPECT_EQ(form.ca()->minimum(), 90);
    EXPECT_EQ(form.ca()->maximum(), 100);
    EXPECT_EQ(form.ca()->singleStep(), 1);
    EXPECT_EQ(form.ck()->text(), "Impose max palette size");
    EXPECT_EQ(form.okBUT()->Caption(), "&OK");
    EXPECT_EQ(form.cancelBUT()->Caption(), "&Cancel");
    QStringList texts;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains("90%"));
    EXPECT_TRUE(texts.contains("100%"));
    EXPECT_TRUE(texts.contains(
        "Reducing color accuracy will result on removing similar colors from the color "
        "palette. You should only do this if you really have to because image quality will be "
        "reduced too."));
    EXPECT_TRUE(texts.contains(
        "You can also reduce the color palette by setting the maximum number of colors allowed "
        "in the color palette. Ideally, the color pallete shouldn't have over 250 colors."));
    // The slider sits in the "Color accuracy" frame, inside its focus ring.
    QWidget* frame = form.ca()->parentWidget();
    while (frame && !qobject_cast<QGroupBox*>(frame)) {
        frame = frame->parentWidget();
    }
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(qobject_cast<QGroupBox*>(frame)->title(), "Color accuracy");
}

TEST_F(OptionsFormTest, SliderShowsItsValueAndItsFocus) {
    optionsForm form;
    form.show();
    EXPECT_EQ(form.caValue()->text(), "100%");
    form.ca()->setValue(93);
    EXPECT_EQ(form.caValue()->text(), "93%");
    auto* ring = qobject_cast<zorix::FocusFrame*>(form.ca()->parentWidget());
    ASSERT_NE(ring, nullptr);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.ck()->setFocus();
    EXPECT_FALSE(ring->RingShown());
    const QImage without = ring->grab().toImage();
    form.ca()->setFocus();
    EXPECT_TRUE(ring->RingShown());
    EXPECT_NE(ring->grab().toImage(), without);  // the ring is drawn
    // The ring's room is kept, so the slider does not move.
    const QRect place = form.ca()->geometry();
    form.ck()->setFocus();
    EXPECT_EQ(form.ca()->geometry(), place);
}

TEST_F(OptionsFormTest, NoLimitOpensUntickedDisabledWithTheDesignText) {
    optionsForm form;
    EXPECT_FALSE(form.ck()->isChecked());
    EXPECT_FALSE(form.mps()->isEnabled());
    EXPECT_EQ(form.mps()->text(), "250");
    EXPECT_EQ(form.ca()->value(), 100);
    EXPECT_FALSE(form.okBUT()->isEnabled());
}

TEST_F(OptionsFormTest, StoredLimitOpensTickedWithItsValue) {
    MaxPaletteSize = 64;
    ColorAccuracy = 94.5f;  // rounds to the even neighbour
    optionsForm form;
    EXPECT_TRUE(form.ck()->isChecked());
    EXPECT_TRUE(form.mps()->isEnabled());
    EXPECT_EQ(form.mps()->text(), "64");
    EXPECT_EQ(form.ca()->value(), 94);
    EXPECT_FALSE(form.okBUT()->isEnabled());
}

TEST_F(OptionsFormTest, EveryChangeEnablesOk) {
    const std::vector<std::function<void(optionsForm&)>> changes = {
        [](optionsForm& f) { f.ca()->setValue(95); },
        [](optionsForm& f) { QTest::mouseClick(f.ck(), Qt::LeftButton); },
        [](optionsForm& f) { f.mps()->setText("12"); },
    };
    for (const auto& change : changes) {
        optionsForm form;
        form.show();
        EXPECT_FALSE(form.okBUT()->isEnabled());
        change(form);
        EXPECT_TRUE(form.okBUT()->isEnabled());
    }
}

TEST_F(OptionsFormTest, DisabledOkDoesNothing) {
    optionsForm form;
    form.show();
    Click(form.okBUT());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(apptest::StoreHas("MaxPaletteSize"));
}

TEST_F(OptionsFormTest, TickingAndOkStoresTheDesignLimit) {
    optionsForm form;
    form.show();
    QTest::mouseClick(form.ck(), Qt::LeftButton);
    EXPECT_TRUE(form.ck()->isChecked());
    EXPECT_TRUE(form.mps()->isEnabled());
    Click(form.okBUT());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(MaxPaletteSize, 250);
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "250");
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "100");
}

TEST_F(OptionsFormTest, UntickingStoresNoLimitWhateverTheBoxHolds) {
    MaxPaletteSize = 80;
    optionsForm form;
    form.show();
    form.mps()->setText("123");
    QTest::mouseClick(form.ck(), Qt::LeftButton);
    EXPECT_FALSE(form.mps()->isEnabled());
    form.ca()->setValue(92);
    Click(form.okBUT());
    EXPECT_EQ(MaxPaletteSize, 0);
    EXPECT_FLOAT_EQ(ColorAccuracy, 92.0f);
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "0");
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "92");
}

TEST_F(OptionsFormTest, TypedLettersHaveNoEffect) {
    MaxPaletteSize = 40;
    optionsForm form;
    form.show();
    form.activateWindow();
    form.mps()->setFocus();
    form.mps()->setCursorPosition(2);
    QTest::keyClicks(form.mps(), "a-. x");
    EXPECT_EQ(form.mps()->text(), "40");
    EXPECT_FALSE(form.okBUT()->isEnabled());
    QTest::keyClicks(form.mps(), "7");
    QTest::keyClick(form.mps(), Qt::Key_Backspace);
    QTest::keyClick(form.mps(), Qt::Key_Backspace);
    QTest::keyClicks(form.mps(), "5");
    EXPECT_EQ(form.mps()->text(), "45");
    EXPECT_TRUE(form.okBUT()->isEnabled());
}

TEST_F(OptionsFormTest, PastedTextKeepsOnlyItsDigits) {
    MaxPaletteSize = 40;
    optionsForm form;
    form.show();
    form.mps()->setFocus();
    form.mps()->setCursorPosition(2);
    QApplication::clipboard()->setText("abc");
    form.mps()->paste();
    EXPECT_EQ(form.mps()->text(), "40");
    QApplication::clipboard()->setText("1x2");
    form.mps()->paste();
    EXPECT_EQ(form.mps()->text(), "4012");
    EXPECT_EQ(form.mps()->cursorPosition(), 4);
}

TEST_F(OptionsFormTest, LeavingTheBoxRestoresTheLimitForText) {
    MaxPaletteSize = 33;
    optionsForm form;
    form.mps()->setText("abc");
    LeaveBox(form);
    EXPECT_EQ(form.mps()->text(), "33");
}

TEST_F(OptionsFormTest, LeavingTheBoxTurnsANegativeNumberInto250) {
    MaxPaletteSize = 33;
    optionsForm form;
    form.mps()->setText("-7");
    LeaveBox(form);
    EXPECT_EQ(form.mps()->text(), "250");
    form.mps()->setText("17");
    LeaveBox(form);
    EXPECT_EQ(form.mps()->text(), "17");
}

TEST_F(OptionsFormTest, OkCorrectsTheBoxBeforeReadingIt) {
    MaxPaletteSize = 33;
    optionsForm form;
    form.show();
    form.mps()->setText("");
    Click(form.okBUT());
    EXPECT_EQ(MaxPaletteSize, 33);
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "33");
}

TEST_F(OptionsFormTest, LimitAboveTheStoreRangeIsKeptForTheRun) {
    MaxPaletteSize = 33;
    optionsForm form;
    form.show();
    form.mps()->setText("12000");
    Click(form.okBUT());
    EXPECT_EQ(MaxPaletteSize, 12000);
    zorix::LoadEngineOptions();
    EXPECT_EQ(MaxPaletteSize, 0);
}

TEST_F(OptionsFormTest, CancelChangesNothing) {
    MaxPaletteSize = 33;
    ColorAccuracy = 95.0f;
    optionsForm form;
    form.show();
    form.ca()->setValue(91);
    QTest::mouseClick(form.ck(), Qt::LeftButton);
    Click(form.cancelBUT());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(MaxPaletteSize, 33);
    EXPECT_FLOAT_EQ(ColorAccuracy, 95.0f);
    EXPECT_FALSE(apptest::StoreHas("MaxPaletteSize"));
    EXPECT_FALSE(apptest::StoreHas("ColorAccuracy"));
}

TEST_F(OptionsFormTest, ReturnIsOkOnlyAfterAChange) {
    optionsForm form;
    form.show();
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    form.ca()->setValue(97);
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "97");
}

// ---------------------------------------------------------------------------
// The main window's menu items

class DialogMenuTest : public OptionsFormTest {
  protected:
    zorix::mainForm& Start() {
        prompter_.defaultAnswer = zorix::Prompter::Answer::No;
        form_ = std::make_unique<zorix::mainForm>(prompter_);
        form_->Startup();
        return *form_;
    }
    void TearDown() override {
        form_.reset();
        OptionsFormTest::TearDown();
    }

    // Runs `step` on the modal dialog of type T once it is open.
    template <typename T>
    static void WhenOpen(std::function<void(T&)> step) {
        QTimer::singleShot(0, [step] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                    step(*dialog);
                    return;
                }
            }
            ADD_FAILURE() << "dialog not open";
        });
    }

    FakePrompter prompter_;
    std::unique_ptr<zorix::mainForm> form_;
};

TEST_F(DialogMenuTest, StoredOptionsReachTheEngineAtStart) {
    apptest::StoreSet("ColorAccuracy", "93");
    apptest::StoreSet("MaxPaletteSize", "120");
    zorix::mainForm& form = Start();
    EXPECT_FLOAT_EQ(form.Engine()->RLEColorAccuracy(), 93.0f);
    EXPECT_EQ(form.Engine()->RLEMaxPalleteSize(), 120);
}

TEST_F(DialogMenuTest, OptionsOkHandsBothOptionsToTheEngine) {
    zorix::mainForm& form = Start();
    ASSERT_EQ(form.Engine()->RLEMaxPalleteSize(), 0);
    WhenOpen<optionsForm>([](optionsForm& dialog) {
        dialog.ca()->setValue(91);
        QTest::mouseClick(dialog.ck(), Qt::LeftButton);
        dialog.mps()->setText("77");
        QTest::mouseClick(dialog.okBUT(), Qt::LeftButton);
    });
    QAction* item = form.findChild<QAction*>("mOptions");
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_FLOAT_EQ(form.Engine()->RLEColorAccuracy(), 91.0f);
    EXPECT_EQ(form.Engine()->RLEMaxPalleteSize(), 77);
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "91");
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "77");
}

TEST_F(DialogMenuTest, ReductionChoiceIsStoredAndReachesTheEngine) {
    apptest::StoreSet("Reduction", "best");
    zorix::mainForm& form = Start();
    EXPECT_EQ(form.Engine()->RLEReductionMode(), quenda::RLEReduction::Best);
    EXPECT_FALSE(form.Engine()->RLEDither());
    WhenOpen<optionsForm>([](optionsForm& dialog) {
        EXPECT_EQ(dialog.red()->currentText(), "Best quality");
        EXPECT_TRUE(dialog.dith()->isEnabled());
        EXPECT_FALSE(dialog.okBUT()->isEnabled());
        QTest::mouseClick(dialog.dith(), Qt::LeftButton);
        EXPECT_TRUE(dialog.okBUT()->isEnabled());
        QTest::mouseClick(dialog.okBUT(), Qt::LeftButton);
    });
    form.findChild<QAction*>("mOptions")->trigger();
    EXPECT_TRUE(form.Engine()->RLEDither());
    EXPECT_EQ(apptest::StoreValue("Dither"), "1");
    WhenOpen<optionsForm>([](optionsForm& dialog) {
        dialog.red()->setCurrentIndex(0);
        EXPECT_EQ(dialog.red()->currentText(), "Classic");
        EXPECT_FALSE(dialog.dith()->isEnabled());
        QTest::mouseClick(dialog.okBUT(), Qt::LeftButton);
    });
    form.findChild<QAction*>("mOptions")->trigger();
    EXPECT_EQ(form.Engine()->RLEReductionMode(), quenda::RLEReduction::Classic);
    EXPECT_EQ(apptest::StoreValue("Reduction"), "classic");
}

TEST_F(DialogMenuTest, OptionsCancelLeavesTheEngineAsItWas) {
    apptest::StoreSet("MaxPaletteSize", "120");
    zorix::mainForm& form = Start();
    WhenOpen<optionsForm>([](optionsForm& dialog) {
        dialog.ca()->setValue(91);
        QTest::mouseClick(dialog.cancelBUT(), Qt::LeftButton);
    });
    form.findChild<QAction*>("mOptions")->trigger();
    EXPECT_FLOAT_EQ(form.Engine()->RLEColorAccuracy(), 100.0f);
    EXPECT_EQ(form.Engine()->RLEMaxPalleteSize(), 120);
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "100");
}

TEST_F(DialogMenuTest, AboutBoxShowsNameVersionAndDescription) {
    zorix::mainForm& form = Start();
    bool seen = false;
    WhenOpen<zorix::frmAbout>([&seen](zorix::frmAbout& box) {
        seen = true;
        EXPECT_EQ(box.windowTitle(), "About Zorix");
        EXPECT_EQ(box.titleLine()->text(), "About Zorix (Zorix Viewer)");
        EXPECT_EQ(box.versionLine()->text(), "Version " + zorix::RunningVersion());
        EXPECT_EQ(box.description()->text(),
                  "Zorix's main goal is to display the 'special' bitmaps from HP's iPAQ 31x GPS "
                  "device.\nIt can also convert standard BMPs (RGB and ARGB), GIFs and PNGs to "
                  "iPAQ's format (iPAQ RLE Bitmap).");
        EXPECT_EQ(box.cmdOK()->objectName(), "cmdOK");
        QTest::mouseClick(box.cmdOK(), Qt::LeftButton);
    });
    form.show();
    form.findChild<QAction*>("mAbout")->trigger();
    EXPECT_TRUE(seen);
    // The keyboard reaches the main window again.
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &form);
}

TEST_F(DialogMenuTest, AboutBoxClosesWithReturnAndEscape) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        zorix::frmAbout box;
        box.show();
        QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible());
    }
}

}  // namespace
