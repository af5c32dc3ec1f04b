// The encoding progress window on its own, and the dialog settings of the five
// save commands.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <cmath>

#include "app/SaveDialogRules.h"
#include "app/encForm.h"
#include "controls/VkProgressBar.h"

namespace {

using zorix::encForm;

TEST(EncForm, StepLinesAndTheirMarking) {
    encForm form;
    EXPECT_EQ(form.stp(0)->text(), "Loading image data");
    EXPECT_EQ(form.stp(1)->text(), "Processing colors");
    EXPECT_EQ(form.stp(2)->text(), "Encoding image data");
    EXPECT_EQ(form.findChild<QLabel*>("heading")->text(), "Encoding RLE bitmap. Please wait...");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(form.IsStepMarked(i)) << i;
    }

    // The engine's step 0 is the first line, 7 the last; the value kept is clamped.
    form.setStep(0);
    EXPECT_EQ(form.Step(), 1);
    EXPECT_TRUE(form.IsStepMarked(0));
    EXPECT_FALSE(form.IsStepMarked(1));
    EXPECT_FALSE(form.IsStepMarked(2));
    form.setStep(7);
    EXPECT_EQ(form.Step(), 3);
    EXPECT_FALSE(form.IsStepMarked(0));
    EXPECT_TRUE(form.IsStepMarked(2));
    form.setStep(2);
    EXPECT_TRUE(form.IsStepMarked(1));
    EXPECT_FALSE(form.IsStepMarked(2));
    // Unmarked lines are grey and normal.
    EXPECT_FALSE(form.stp(0)->font().bold());
    EXPECT_NE(form.stp(0)->palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST(EncForm, ResetClearsLinesAndMarks) {
    encForm form;
    form.setStep(2);
    form.setAction("Encoding");
    form.setStatus("size: 4x4");
    form.Reset();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(form.IsStepMarked(i)) << i;
    }
    EXPECT_EQ(form.Action(), "");
    EXPECT_EQ(form.status(), "");
    EXPECT_EQ(form.stt()->text(), "");
}

TEST(EncForm, TextsAndValue) {
    encForm form;
    form.setAction("Merging colors");
    EXPECT_EQ(form.act()->text(), "Merging colors");
    EXPECT_EQ(form.Action(), "Merging colors");
    form.setStatus("size: 4x4");
    EXPECT_EQ(form.stt()->text(), "size: 4x4 ");
    EXPECT_EQ(form.status(), "size: 4x4");
    form.setValue(42.5f);
    EXPECT_EQ(form.Value(), 42.0f);
    EXPECT_EQ(form.pb()->Value(), 42);
    form.setValue(150);
    EXPECT_EQ(form.Value(), 100.0f);
    form.setValue(-3);
    EXPECT_EQ(form.Value(), 0.0f);
    form.setValue(2.5f);  // halves to even
    EXPECT_EQ(form.Value(), 2.0f);
    form.setValue(std::nanf(""));
    EXPECT_EQ(form.Value(), 0.0f);
}

TEST(EncForm, NegativeProgressHidesTheBarUntilTheNextMeasurableStep) {
    encForm form;
    form.show();
    form.ShowProgress(0, "Loading", "size: 2x2", 30);
    EXPECT_TRUE(form.pb()->isVisible());
    EXPECT_EQ(form.pb()->Value(), 30);
    form.ShowProgress(2, "Sorting", "size: 2x2", -1);
    EXPECT_FALSE(form.pb()->isVisible());
    EXPECT_EQ(form.Value(), 30.0f);
    EXPECT_TRUE(form.IsStepMarked(1));
    EXPECT_EQ(form.Action(), "Sorting");
    form.ShowProgress(7, "Encoding", "size: 2x2, 3 colors", 0);
    EXPECT_TRUE(form.pb()->isVisible());
    EXPECT_EQ(form.pb()->Value(), 0);
    EXPECT_TRUE(form.IsStepMarked(2));
    EXPECT_EQ(form.status(), "size: 2x2, 3 colors");
}

TEST(EncForm, TopmostAndNotClosedByTheUser) {
    auto* form = new encForm;
    form->show();
    form->activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form->close());
    form->reject();
    EXPECT_TRUE(form->isVisible());
    zorix::CloseEncodingWindow(form);
    EXPECT_EQ(form, nullptr);
}

TEST(SaveDialogRules, ProposedFolderAndName) {
    using zorix::ProposeSaveLocation;
    const auto logo = ProposeSaveLocation("/data/img/logo.old.png", "/elsewhere");
    EXPECT_EQ(logo.folder, "/data/img/");
    EXPECT_EQ(logo.name, "logo.old");
    const auto hidden = ProposeSaveLocation("/data/img/.hidden", "/elsewhere");
    EXPECT_EQ(hidden.folder, "/data/img/");
    EXPECT_EQ(hidden.name, ".hidden");
    EXPECT_EQ(ProposeSaveLocation("/data/bmp", "/x").name, "bmp");
    const auto nothing = ProposeSaveLocation("", "/current/folder");
    EXPECT_EQ(nothing.folder, "/current/folder");
    EXPECT_EQ(nothing.name, "");
}

TEST(SaveDialogRules, FiltersAndExtensionsOfAllFive) {
    struct Row {
        const char* caption;
        const char* extension;
        const char* filter;
    };
    const Row rows[] = {
        {"RLE Bitmap (iPAQ 31x/iGO)", "bmp", "RLE Bitmap files|*.bmp"},
        {"RGB Bitmap", "bmp", "RGB Bitmap files|*.bmp"},
        {"ARGB Bitmap", "bmp", "ARGB Bitmap files|*.bmp"},
        {"PNG", "png", "PNG files|*.png"},
        {"JPEG", "jpg", "JPEG files|*.jpg"},
    };
    for (int i = 1; i <= 5; ++i) {
        const Row& row = rows[i - 1];
        const zorix::Prompter::SaveRequest request =
            zorix::SaveDialogRequest(i, "/img/pic.gif", "/cur");
        EXPECT_EQ(request.defaultExtension, row.extension) << i;
        EXPECT_EQ(request.filter, row.filter) << i;
        EXPECT_TRUE(request.promptOverwrite) << i;
        EXPECT_EQ(request.initialFolder, "/img/") << i;
        EXPECT_EQ(request.initialName, "pic") << i;
        EXPECT_STREQ(zorix::SaveFormatOf(i)->menuCaption, row.caption) << i;
    }
    EXPECT_EQ(zorix::SaveDialogRequest(3, "", "").filter,
              "A" + zorix::SaveDialogRequest(2, "", "").filter);
    EXPECT_EQ(zorix::SaveFormatOf(0), nullptr);
    EXPECT_EQ(zorix::SaveFormatOf(6), nullptr);
}

TEST(SaveDialogRules, ErrorTextKeepsTheFixedLineFirst) {
    EXPECT_EQ(zorix::SaveErrorText(""), "Error saving image.");
    EXPECT_EQ(zorix::SaveErrorText("the file could not be written"),
              "Error saving image.\nThe file could not be written");
}

}  // namespace

// The lines stay where they are when the bar hides, and the status line is whole.
TEST(EncForm, LinesKeepTheirPlaceAndTheStatusLineShowsWhole) {
    zorix::encForm form;
    form.show();
    QApplication::processEvents();
    form.ShowProgress(1, "Loading", "size: 320x240, 187 colors", 40);
    QApplication::processEvents();
    const QRect status = form.stt()->geometry();
    form.ShowProgress(2, "Sorting", "size: 320x240, 187 colors", -1);
    QApplication::processEvents();
    EXPECT_TRUE(form.pb()->isHidden());
    EXPECT_EQ(form.stt()->geometry(), status);
    EXPECT_TRUE(form.rect().contains(status));
    EXPECT_GE(status.height(), form.stt()->fontMetrics().height());
}
