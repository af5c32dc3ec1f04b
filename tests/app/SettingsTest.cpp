#include <gtest/gtest.h>

#include <tuple>

#include <QByteArray>
#include <QSettings>
#include <ostream>

#include "AppTestSupport.h"
#include "app/modSettings.h"

using namespace zorix;

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { apptest::ClearStore(); }
    void TearDown() override { apptest::ClearStore(); }
};

TEST_F(SettingsTest, MissingValueWithDefaultIsStoredOnFirstRead) {
    EXPECT_FALSE(apptest::StoreHas("LastFolder"));
    EXPECT_EQ(ReadSetting("LastFolder", "/home/x"), "/home/x");
    EXPECT_EQ(apptest::StoreValue("LastFolder"), "/home/x");
}

TEST_F(SettingsTest, MissingValueWithoutDefaultIsEmptyAndNotStored) {
    EXPECT_EQ(ReadSetting("WindowPos"), "");
    EXPECT_FALSE(apptest::StoreHas("WindowPos"));
}

TEST_F(SettingsTest, StoredValueWinsOverDefault) {
    WriteSetting("WindowState", "2");
    EXPECT_EQ(ReadSetting("WindowState", "0"), "2");
    EXPECT_EQ(apptest::StoreValue("WindowState"), "2");
}

TEST_F(SettingsTest, EmptyStoredValueTakesTheDefault) {
    WriteSetting("ExplorerW", "");
    EXPECT_EQ(ReadSetting("ExplorerW", "0"), "0");
    EXPECT_EQ(apptest::StoreValue("ExplorerW"), "0");
}

TEST_F(SettingsTest, BackslashNamesAddressSubKeys) {
    WriteSetting("Batch\\Target", "/out");
    EXPECT_EQ(apptest::StoreValue("Batch/Target"), "/out");
    EXPECT_EQ(ReadSetting("Batch\\Target"), "/out");
    EXPECT_EQ(ReadSetting("Deep\\Er\\Name", "d"), "d");
    EXPECT_EQ(apptest::StoreValue("Deep/Er/Name"), "d");
}

TEST_F(SettingsTest, TextIsCutAtTheFirstNul) {
    apptest::StoreSet("Name", QString("ab") + QChar(0) + "cd");
    EXPECT_EQ(ReadSetting("Name"), "ab");
}

TEST_F(SettingsTest, BinaryValuesReadAsSixteenBitIntegers) {
    apptest::StoreSet("Bin", QByteArray("\x01\x02", 2));
    EXPECT_EQ(ReadSetting("Bin"), "513");
    apptest::StoreSet("Bin", QByteArray("\xff\xff", 2));
    EXPECT_EQ(ReadSetting("Bin"), "-1");
}

TEST_F(SettingsTest, MachineWideValuesAreSeparate) {
    WriteSetting("Shared", "user");
    EXPECT_EQ(ReadSetting("Shared", QString(), true), "");
    WriteSetting("Shared", "machine", true);
    EXPECT_EQ(ReadSetting("Shared", QString(), true), "machine");
    EXPECT_EQ(ReadSetting("Shared"), "user");
}

TEST_F(SettingsTest, EmptyStoreGivesDefaultOptionsAndStoresThem) {
    ColorAccuracy = 50;
    MaxPaletteSize = 7;
    LoadEngineOptions();
    EXPECT_FLOAT_EQ(ColorAccuracy, 100.0f);
    EXPECT_EQ(MaxPaletteSize, 0);
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "100");
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "0");
}

// The reduction choice sits beside the palette options with the same rules: a
// missing value stores its default, any unknown text reads as the default.
TEST_F(SettingsTest, ReductionAndDitherDefaultAndFallBack) {
    BestReduction = true;
    ReductionDither = true;
    LoadEngineOptions();
    EXPECT_FALSE(BestReduction);
    EXPECT_FALSE(ReductionDither);
    EXPECT_EQ(apptest::StoreValue("Reduction"), "classic");
    EXPECT_EQ(apptest::StoreValue("Dither"), "0");
    for (const auto& [reduction, dither, best, dithered] :
         {std::tuple{"best", "1", true, true}, std::tuple{"Best", "0", true, false},
          std::tuple{"quick", "yes", false, false}, std::tuple{"classic", "1", false, true}}) {
        WriteSetting("Reduction", reduction);
        WriteSetting("Dither", dither);
        LoadEngineOptions();
        EXPECT_EQ(BestReduction, best) << reduction;
        EXPECT_EQ(ReductionDither, dithered) << dither;
    }
    BestReduction = true;
    ReductionDither = false;
    SaveEngineOptions();
    EXPECT_EQ(apptest::StoreValue("Reduction"), "best");
    EXPECT_EQ(apptest::StoreValue("Dither"), "0");
    BestReduction = false;
    SaveEngineOptions();
    EXPECT_EQ(apptest::StoreValue("Reduction"), "classic");
}

struct AccuracyCase {
    const char* text;
    float expected;
};

void PrintTo(const AccuracyCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ColorAccuracyText : public SettingsTest,
                          public ::testing::WithParamInterface<AccuracyCase> {};

TEST_P(ColorAccuracyText, FallsBackTo100OutsideTheRange) {
    WriteSetting("ColorAccuracy", GetParam().text);
    LoadEngineOptions();
    EXPECT_FLOAT_EQ(ColorAccuracy, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, ColorAccuracyText,
                         ::testing::Values(AccuracyCase{"89", 100}, AccuracyCase{"abc", 100},
                                           AccuracyCase{"100.5", 100}, AccuracyCase{"90", 90},
                                           AccuracyCase{"97.5", 97.5f}, AccuracyCase{" 95 ", 95},
                                           AccuracyCase{"inf", 100}));

struct PaletteCase {
    const char* text;
    int32_t expected;
};

void PrintTo(const PaletteCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class MaxPaletteSizeText : public SettingsTest,
                           public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(MaxPaletteSizeText, FallsBackTo0AndRoundsHalvesToEven) {
    WriteSetting("MaxPaletteSize", GetParam().text);
    LoadEngineOptions();
    EXPECT_EQ(MaxPaletteSize, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, MaxPaletteSizeText,
                         ::testing::Values(PaletteCase{"10000", 0}, PaletteCase{"-1", 0},
                                           PaletteCase{"2.5", 2}, PaletteCase{"3.5", 4},
                                           PaletteCase{"9999", 9999}, PaletteCase{"x", 0},
                                           PaletteCase{"250", 250}));

TEST_F(SettingsTest, SaveEngineOptionsWritesShortestText) {
    ColorAccuracy = 97.5f;
    MaxPaletteSize = 250;
    SaveEngineOptions();
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "97.5");
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "250");
    ColorAccuracy = 100.0f;
    MaxPaletteSize = 0;
    SaveEngineOptions();
    EXPECT_EQ(apptest::StoreValue("ColorAccuracy"), "100");
    EXPECT_EQ(apptest::StoreValue("MaxPaletteSize"), "0");
}

TEST(NumericText, FollowsTheUsualNumberRules) {
    EXPECT_TRUE(IsNumeric(" 12 "));
    EXPECT_TRUE(IsNumeric("-3.25"));
    EXPECT_TRUE(IsNumeric("1e3"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("12abc"));
    EXPECT_FALSE(IsNumeric("nan"));
    EXPECT_DOUBLE_EQ(NumericValue("1e3"), 1000);
    EXPECT_DOUBLE_EQ(NumericValue("junk"), 0);
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
}

}  // namespace
