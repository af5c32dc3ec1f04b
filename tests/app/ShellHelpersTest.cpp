#include <gtest/gtest.h>

#include <QWidget>

#include "AppTestSupport.h"
#include "app/QtPrompter.h"
#include "app/WindowPlacement.h"
#include "app/modShell.h"
#include "app/pbForm.h"

using namespace zorix;

namespace {

TEST(FileNameOf, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(FileNameOf("  C:\\img\\logo.png  "), "logo.png");
    EXPECT_EQ(FileNameOf("/home/u/pics/a.bmp"), "a.bmp");
    EXPECT_EQ(FileNameOf("mixed/dir\\name.gif"), "name.gif");
    EXPECT_EQ(FileNameOf("plain"), "plain");
    EXPECT_EQ(FileNameOf("dir/"), "");
    EXPECT_EQ(FileNameOf("   "), "");
}

TEST(FormatDuration, GivesHoursMinutesSeconds) {
    EXPECT_EQ(FormatDuration(0), "00:00:00");
    EXPECT_EQ(FormatDuration(59), "00:00:59");
    EXPECT_EQ(FormatDuration(60), "00:01:00");
    EXPECT_EQ(FormatDuration(3599), "00:59:59");
    EXPECT_EQ(FormatDuration(3661), "01:01:01");
}

TEST(FormatDuration, LongAndNegativeCountsDoNotOverflow) {
    // 256 minutes and more would not fit a byte.
    EXPECT_EQ(FormatDuration(15360), "04:16:00");
    EXPECT_EQ(FormatDuration(400000), "111:06:40");
    EXPECT_EQ(FormatDuration(-5), "00:00:00");
}

TEST(BrowseForFolder, AsksWithItsTitle) {
    apptest::FakePrompter prompter;
    prompter.folderAnswer = "/data";
    EXPECT_EQ(BrowseForFolder(prompter, nullptr), "/data");
    ASSERT_EQ(prompter.folderTitles.size(), 1);
    EXPECT_EQ(prompter.folderTitles[0], "Select folder");
    prompter.folderAnswer.clear();
    EXPECT_EQ(BrowseForFolder(prompter, nullptr), "");
}

TEST(MakeTopmost, ShowsTheWindowOnTop) {
    QWidget window;
    MakeTopmost(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    MakeTopmost(nullptr);
}

TEST(DialogFilter, TurnsPairsIntoQtFilters) {
    EXPECT_EQ(QtPrompter::DialogFilter("PNG files|*.png"), "PNG files (*.png)");
    EXPECT_EQ(QtPrompter::DialogFilter("A|*.a|B|*.b"), "A (*.a);;B (*.b)");
    EXPECT_EQ(QtPrompter::DialogFilter(""), "");
}

TEST(WindowPos, ParsesBothPairs) {
    const WindowPlacement p = ParseWindowPos("12000x9000@150x300");
    EXPECT_FALSE(p.centre);
    EXPECT_EQ(p.width, 12000);
    EXPECT_EQ(p.height, 9000);
    EXPECT_EQ(p.left, 150);
    EXPECT_EQ(p.top, 300);
}

TEST(WindowPos, EmptyTextCentres) {
    const WindowPlacement p = ParseWindowPos("");
    EXPECT_TRUE(p.centre);
    EXPECT_FALSE(p.width || p.height || p.left || p.top);
}

TEST(WindowPos, TextWithoutAtIsIgnoredWithoutCentring) {
    for (const char* text : {"800x600", "800x600@", "800x600@100", "800@600@1x2", "a@b"}) {
        const WindowPlacement p = ParseWindowPos(text);
        EXPECT_FALSE(p.centre) << text;
        EXPECT_FALSE(p.width || p.height || p.left || p.top) << text;
    }
}

TEST(WindowPos, EachNumberAndPairStandsAlone) {
    WindowPlacement p = ParseWindowPos("abcx600@10xzz");
    EXPECT_FALSE(p.width);
    EXPECT_EQ(p.height, 600);
    EXPECT_EQ(p.left, 10);
    EXPECT_FALSE(p.top);
    // A pair with three pieces is dropped, the other pair is kept.
    p = ParseWindowPos("1x2x3@40x50");
    EXPECT_FALSE(p.width || p.height);
    EXPECT_EQ(p.left, 40);
    EXPECT_EQ(p.top, 50);
}

TEST(WindowPos, FormatsWhatParseReads) {
    EXPECT_EQ(FormatWindowPos(11400, 8100, 1200, 900), "11400x8100@1200x900");
    const WindowPlacement p = ParseWindowPos(FormatWindowPos(15, 30, -45, 60));
    EXPECT_EQ(p.left, -45);
    EXPECT_EQ(p.top, 60);
}

TEST(WindowState, OnlyTwoMaximises) {
    EXPECT_TRUE(IsMaximisedState("2"));
    EXPECT_FALSE(IsMaximisedState("0"));
    EXPECT_FALSE(IsMaximisedState("1"));
    EXPECT_FALSE(IsMaximisedState(" 2"));
}

TEST(ProgressWindow, ClampsAndRoundsItsValue) {
    pbForm form;
    EXPECT_EQ(form.Action(), "");
    form.setValue(150);
    EXPECT_EQ(form.BarValue(), 100);
    form.setValue(-3);
    EXPECT_EQ(form.BarValue(), 0);
    form.setValue(42.5f);
    EXPECT_EQ(form.BarValue(), 42);
    form.setValue(43.5f);
    EXPECT_EQ(form.BarValue(), 44);
    EXPECT_FLOAT_EQ(form.Value(), 44);
}

TEST(ProgressWindow, ResetSaysPleaseWait) {
    pbForm form;
    form.setTitle("Decoding x.bmp");
    form.setAction("Working");
    EXPECT_EQ(form.Title(), "Decoding x.bmp");
    form.Reset();
    EXPECT_EQ(form.Title(), "Please wait...");
    EXPECT_EQ(form.Action(), "Working");
}

}  // namespace
