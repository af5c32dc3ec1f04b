// The plug-in's plain parts: the stored options it starts an export from, reading a
// device bitmap, and the export's bytes against the engine's own save (what zorix-cli
// writes) for the same pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/ZorixImgEngine.h"
#include "gimp/RleExportOptions.h"
#include "gimp/RleImport.h"
#include "imaging/StraightRgba.h"
#include "imaging/c32bppDIB.h"
#include "support/BmpBuilder.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

namespace {

using zorixgimp::ParseStoredOptions;

struct StoredCase {
    const char* text;
    float accuracy;
    int32_t maxPalette;
    bool best = false;
    bool dither = false;
};

TEST(GimpStoredOptions, FollowTheProgramsReadingRules) {
    const StoredCase cases[] = {
        {"", 100.0f, 0},
        {"[General]\nColorAccuracy=95.5\nMaxPaletteSize=16\n", 95.5f, 16},
        {"[General]\r\nColorAccuracy = \"97\"\r\nMaxPaletteSize=\" 12 \"\r\n", 97.0f, 12},
        {"[General]\nColorAccuracy=89.9\nMaxPaletteSize=10000\n", 100.0f, 0},
        {"[General]\nColorAccuracy=abc\nMaxPaletteSize=-1\n", 100.0f, 0},
        {"[General]\nColorAccuracy=nan\nMaxPaletteSize=inf\n", 100.0f, 0},
        {"[General]\nMaxPaletteSize=16.5\n", 100.0f, 16},
        {"[General]\nMaxPaletteSize=17.5\nColorAccuracy=+90\n", 90.0f, 18},
        // Only the top level counts; another group's keys are not the program's options.
        {"[Other]\nColorAccuracy=91\nMaxPaletteSize=5\n[General]\n", 100.0f, 0},
        {"[General]\nReduction=Best\nDither=1\n", 100.0f, 0, true, true},
        {"[General]\nReduction=classic\nDither=1\n", 100.0f, 0, false, true},
        {"[General]\nReduction=fast\nDither=yes\n", 100.0f, 0, false, false},
    };
    for (const StoredCase& c : cases) {
        const zorixgimp::RleExportOptions options = ParseStoredOptions(c.text);
        EXPECT_EQ(options.accuracy, c.accuracy) << c.text;
        EXPECT_EQ(options.maxPalette, c.maxPalette) << c.text;
        EXPECT_EQ(options.best, c.best) << c.text;
        EXPECT_EQ(options.dither, c.dither) << c.text;
    }
}

TEST(GimpStoredOptions, ComeFromTheSettingsFileUnderTheConfigFolder) {
    const std::string dir = testsupport::MakeTempDir("gimp-settings");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::filesystem::path file = zorixgimp::SettingsFilePath();
    EXPECT_EQ(file, std::filesystem::path(dir) / "vk-Dev" / "Zorix.conf");
    EXPECT_EQ(zorixgimp::ReadStoredOptions(file).accuracy, 100.0f);  // no file yet
    std::filesystem::create_directories(file.parent_path());
    testsupport::WriteBytes(
        file.string(), {'[', 'G', 'e', 'n', 'e', 'r', 'a', 'l', ']', '\n', 'M', 'a', 'x', 'P',
                        'a', 'l', 'e', 't', 't', 'e', 'S', 'i', 'z', 'e',  '=', '4', '2', '\n'});
    EXPECT_EQ(zorixgimp::ReadStoredOptions(file).maxPalette, 42);
    if (old != nullptr) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

TEST(GimpExportArguments, KeepToTheirRanges) {
    EXPECT_TRUE(zorixgimp::IsValidAccuracy(90.0));
    EXPECT_TRUE(zorixgimp::IsValidAccuracy(100.0));
    EXPECT_FALSE(zorixgimp::IsValidAccuracy(89.99));
    EXPECT_FALSE(zorixgimp::IsValidAccuracy(100.01));
    EXPECT_FALSE(zorixgimp::IsValidAccuracy(std::nan("")));
    EXPECT_TRUE(zorixgimp::IsValidMaxPalette(0));
    EXPECT_TRUE(zorixgimp::IsValidMaxPalette(9999));
    EXPECT_FALSE(zorixgimp::IsValidMaxPalette(-1));
    EXPECT_FALSE(zorixgimp::IsValidMaxPalette(10000));
    EXPECT_TRUE(zorixgimp::IsValidFlag(1));
    EXPECT_FALSE(zorixgimp::IsValidFlag(-1));
    EXPECT_FALSE(zorixgimp::IsValidFlag(2));
}

// Straight RGBA pixels of many colours and opacities, as GIMP hands them over.
std::vector<uint8_t> StraightPixels(int32_t width, int32_t height) {
    std::vector<uint8_t> rgba;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t alpha =
                x % 9 == 0 ? 0 : static_cast<uint8_t>(x % 5 == 0 ? 255 : x * 7 + y);
            rgba.insert(rgba.end(), {static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y * 11),
                                     static_cast<uint8_t>(x * y), alpha});
        }
    }
    return rgba;
}

// The plug-in's path: the rows go into the engine's buffer and are encoded.
std::vector<uint8_t> ThroughTheExport(const std::vector<uint8_t>& rgba, int32_t width,
                                      int32_t height, const zorixgimp::RleExportOptions& options) {
    quenda::c32bppDIB image;
    EXPECT_TRUE(image.InitializeDIB(width, height));
    for (int32_t y = 0; y < height; ++y) {
        EXPECT_TRUE(quenda::StoreStraightRgbaRow(rgba.data() + 4 * width * y, y, image));
    }
    image.setAlpha(true);
    return zorixgimp::EncodeWithOptions("x.bmp", image, options).bytes;
}

// What zorix-cli convert --to rle does with the same pixels in a PNG: the engine loads
// and saves. libpng writes the PNG.
std::vector<uint8_t> ThroughTheEngine(const std::vector<uint8_t>& rgba, int32_t width,
                                      int32_t height, const std::string& dir,
                                      const zorixgimp::RleExportOptions& options) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGBA;
    const std::string source = dir + "/same-pixels.png";
    EXPECT_TRUE(png_image_write_to_file(&png, source.c_str(), 0, rgba.data(), 0, nullptr));
    quenda::ZorixImgEngine engine;
    engine.setRLEColorAccuracy(options.accuracy);
    engine.setRLEMaxPalleteSize(options.maxPalette);
    engine.setRLEReductionMode(options.best ? quenda::RLEReduction::Best
                                            : quenda::RLEReduction::Classic);
    engine.setRLEDither(options.best && options.dither);
    EXPECT_TRUE(engine.LoadImage(source));
    const std::string target = dir + "/engine.bmp";
    EXPECT_TRUE(engine.SaveImageAs(target, quenda::IS_BMP_RL)) << engine.LastFailureReason();
    return testsupport::ReadBytes(target);
}

TEST(GimpExport, WritesTheEnginesBytesForTheSamePixels) {
    const std::string dir = testsupport::MakeTempDir("gimp-export");
    const std::vector<uint8_t> rgba = StraightPixels(83, 29);
    const zorixgimp::RleExportOptions optionSets[] = {{100.0f, 0, false, false},
                                                      {97.5f, 0, false, false},
                                                      {100.0f, 64, false, false},
                                                      {92.0f, 16, true, false},
                                                      {92.0f, 16, true, true}};
    for (const auto& options : optionSets) {
        const std::vector<uint8_t> exported = ThroughTheExport(rgba, 83, 29, options);
        ASSERT_GT(exported.size(), 14u);
        EXPECT_EQ(exported, ThroughTheEngine(rgba, 83, 29, dir, options))
            << options.accuracy << " " << options.maxPalette;
    }
}

TEST(GimpImport, RefusesWhatIsNoDeviceBitmapWithAReason) {
    const std::string dir = testsupport::MakeTempDir("gimp-import");
    std::vector<uint8_t> truncated = testsupport::VariedAlphaFile(20, 20);
    truncated.resize(truncated.size() / 2);
    testsupport::BmpBuilder windows;
    windows.width = 2;
    windows.height = 2;
    windows.pixelData = testsupport::PackRows(2, 2, 24, {1, 2, 3, 4}, false);
    const std::pair<std::string, std::vector<uint8_t>> files[] = {
        {"truncated.bmp", truncated},
        {"windows.bmp", windows.Build()},
        {"empty.bmp", {}},
        {"header-only.bmp", std::vector<uint8_t>(truncated.begin(), truncated.begin() + 14)},
    };
    for (const auto& [name, bytes] : files) {
        const std::string path = testsupport::WriteBytes(dir + "/" + name, bytes);
        quenda::c32bppDIB image;
        std::string reason;
        EXPECT_FALSE(zorixgimp::DecodeDeviceFile(path, image, reason)) << name;
        EXPECT_FALSE(reason.empty()) << name;
        EXPECT_EQ(image.BitsPointer(), nullptr) << name;
    }
    quenda::c32bppDIB image;
    std::string reason;
    EXPECT_FALSE(zorixgimp::DecodeDeviceFile(dir + "/missing.bmp", image, reason));
}

}  // namespace
