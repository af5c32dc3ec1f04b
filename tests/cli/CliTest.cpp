#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "CliRunner.h"
#include "engine/TestImages.h"
#include "engine/ZorixImgEngine.h"
#include "platform/FileIO.h"
#include "support/RLEBuilder.h"

namespace {

using clitest::Cli;
using clitest::CliRun;
using clitest::Quote;

std::vector<uint8_t> DeviceBitmap() {
    testsupport::RLEBuilder b;
    b.width = 3;
    b.height = 2;
    b.hasAlpha = true;
    b.colors = {0xF800, 0x07E0};
    b.alphas = {0, 32, 16};
    b.rows = {{1, 2, 0}, {0xFE, 0x01, 0x03}};
    return b.Build();
}

// The engine's own reason for a file that does not load.
std::string ReasonOf(const std::string& path) {
    quenda::ZorixImgEngine engine;
    engine.LoadImage(path);
    return engine.LastFailureReason();
}

// A device bitmap of the given size whose rows mix runs and single codes of ~40 colours.
std::vector<uint8_t> DeviceBitmap(int32_t width, int32_t height, uint32_t seed) {
    testsupport::RLEBuilder b;
    b.width = width;
    b.height = height;
    for (uint16_t c = 0; c < 40; ++c) {
        b.colors.push_back(static_cast<uint16_t>(c * 1601 + seed));
    }
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> codes;
        for (int32_t x = 0; x < width; ++x) {
            codes.push_back(static_cast<uint8_t>(1 + ((x / 3) * 7 + y * seed) % 40));
        }
        b.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    return b.Build();
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = testsupport::MakeTempDir("zorix-cli");
        // The engine's trace file goes to the scratch folder.
        setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::string dir;
};

}  // namespace

TEST_F(CliTest, InfoTextAndJson) {
    const std::string good = Write("logo.bmp", DeviceBitmap());
    const std::string bad = Write("bad.bmp", {'R', 'L', 0, 0});
    CliRun r = Cli("info " + Quote(good));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, good + ": Size: 3x2 | Color palette: 2 | Alpha: yes | Type: RLE Bitmap\n");

    r = Cli("info --json " + Quote(good) + " " + Quote(bad));
    EXPECT_EQ(r.status, 1);
    const std::string size = std::to_string(DeviceBitmap().size());
    EXPECT_EQ(r.out, "{\"path\": \"" + good +
                         "\", \"ok\": true, \"type\": \"RLE Bitmap\", \"load_type\": 1, "
                         "\"width\": 3, \"height\": 2, \"alpha\": true, \"rle_colors\": 2, "
                         "\"file_size\": " +
                         size +
                         ", \"reason\": \"\", \"error\": \"\"}\n"
                         "{\"path\": \"" +
                         bad +
                         "\", \"ok\": false, \"type\": \"Unknown\", \"load_type\": 0, "
                         "\"width\": 0, \"height\": 0, \"alpha\": false, \"rle_colors\": 2, "
                         "\"file_size\": 4, \"reason\": \"" +
                         ReasonOf(bad) + "\", \"error\": \"not-an-image\"}\n");
    r = Cli("info " + Quote(bad));
    EXPECT_EQ(r.out, bad + ": Invalid image file\n");
}

TEST_F(CliTest, UsageErrors) {
    const std::string good = Write("logo.bmp", DeviceBitmap());
    for (const std::string& args : std::vector<std::string>{
             std::string(""), std::string("info"), std::string("frobnicate x"),
             "info --bogus " + good, "convert " + good, "convert --to gif " + good,
             "convert --to bmp32", "convert --to rle --accuracy 89 " + good,
             "convert --to rle --accuracy abc " + good,
             "convert --to rle --max-palette 10000 " + good,
             "convert --to bmp32 -o x.bmp " + good + " " + good, "convert --to bmp32 -o",
             "convert --to bmp32 -j 0 " + good, "convert --to bmp32 --jobs x " + good,
             "convert --to bmp32 -j 257 " + good}) {
        EXPECT_EQ(Cli(args).status, 2) << args;
    }
}

TEST_F(CliTest, ConvertNamesTargetsAndRespectsOverwrite) {
    const std::string src = Write("logo.bmp", DeviceBitmap());
    std::filesystem::create_directory(dir + "/out");
    CliRun r = Cli("convert --to bmp32 --json -d " + Quote(dir + "/out") + " " + Quote(src));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"source\": \"" + src + "\", \"target\": \"" + dir +
                         "/out/logo.bmp\", \"status\": \"done\", \"ok\": true, "
                         "\"reason\": \"\", \"error\": \"\"}\n");
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(dir + "/out/logo.bmp", bmp));
    EXPECT_EQ(bmp.size(), 54u + 24);

    // An existing target is kept without --overwrite.
    const std::string kept = Write("keep.bmp", {'k'});
    const std::string keepSrc = Write("keep.x", DeviceBitmap());
    r = Cli("convert --to bmp24 --json -o " + Quote(kept) + " " + Quote(keepSrc));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("skipped (no overwrite)"), std::string::npos);
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(kept, bmp));
    EXPECT_EQ(bmp.size(), 1u);

    // -o goes through the engine's extension rule.
    r = Cli("convert --to bmp24 --quiet -o " + Quote(dir + "/single.png") + " " + Quote(src));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir + "/single.bmp"));
}

TEST_F(CliTest, ConvertReportsPerFileFailuresAndGoesOn) {
    const std::string good = Write("a.bmp", DeviceBitmap());
    const std::string bad = Write("b.bmp", {'n', 'o', 'p', 'e'});
    std::filesystem::create_directory(dir + "/out");
    const CliRun r = Cli("convert --to bmp24 --json --overwrite -d " + Quote(dir + "/out") + " " +
                         Quote(bad) + " " + Quote(good));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"status\": \"error loading image\", \"ok\": false"), std::string::npos);
    EXPECT_NE(r.out.find("\"status\": \"done\", \"ok\": true"), std::string::npos);
}

TEST_F(CliTest, DeviceBitmapToItsOwnFormatIsSkippedOrCopied) {
    const std::string src = Write("logo.bmp", DeviceBitmap());
    CliRun r = Cli("convert --to rle --json " + Quote(src));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("skipped (no conversion)"), std::string::npos);

    std::filesystem::create_directory(dir + "/out");
    r = Cli("convert --to rle --json -d " + Quote(dir + "/out") + " " + Quote(src));
    EXPECT_NE(r.out.find("copy ok (no conversion)"), std::string::npos);
    std::vector<uint8_t> copy;
    ASSERT_TRUE(quenda::fileio::ReadWholeFile(dir + "/out/logo.bmp", copy));
    EXPECT_EQ(copy, DeviceBitmap());
}

// The trace holds `pairs` encodings' two lines, each pair together.
void ExpectTracePairsApart(const std::string& path, size_t pairs) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 2 * pairs);
    for (size_t i = 0; i < lines.size(); i += 2) {
        EXPECT_EQ(lines[i], "starting encode annoucement");
        EXPECT_EQ(lines[i + 1], "starting encode");
    }
}

// Several jobs give the files, lines, order and exit status of one job, also with
// corrupt files and with two sources that map to one target.
TEST_F(CliTest, JobsMatchOneJobByteForByte) {
    std::vector<std::string> sources;
    for (uint32_t i = 0; i < 7; ++i) {
        sources.push_back(Write("dev" + std::to_string(i) + ".bmp",
                                DeviceBitmap(90 + 13 * i, 40 + 7 * i, i + 3)));
    }
    sources.insert(sources.begin() + 2, Write("broken.bmp", {'n', 'o', 'p', 'e'}));
    std::vector<uint8_t> truncated = DeviceBitmap(50, 30, 9);
    truncated.resize(truncated.size() / 2);
    sources.insert(sources.begin() + 5, Write("truncated.bmp", truncated));
    std::filesystem::create_directory(dir + "/twin");
    std::ofstream(dir + "/twin/dev1.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(DeviceBitmap(33, 17, 5).data()),
               static_cast<std::streamsize>(DeviceBitmap(33, 17, 5).size()));
    sources.push_back(dir + "/twin/dev1.bmp");  // the same target as dev1.bmp

    std::string files;
    for (const std::string& s : sources) {
        files += " " + Quote(s);
    }
    for (const char* format : {"png", "rle", "bmp24"}) {
        std::map<std::string, std::vector<uint8_t>> firstFiles;
        std::string firstOut;
        int firstStatus = -1;
        for (const std::string jobs : {"1", "3", "2"}) {
            const std::string out = dir + "/out";
            std::filesystem::remove_all(out);
            std::filesystem::create_directory(out);
            const CliRun r = Cli(std::string("convert --to ") + format + " --no-copy -j " + jobs +
                                     " -d " + Quote(out) + files,
                                 true);
            std::map<std::string, std::vector<uint8_t>> written;
            for (const auto& entry : std::filesystem::directory_iterator(out)) {
                ASSERT_TRUE(
                    quenda::fileio::ReadWholeFile(entry.path(), written[entry.path().string()]));
            }
            if (jobs == std::string("1")) {
                firstFiles = written;
                firstOut = r.out;
                firstStatus = r.status;
                EXPECT_EQ(r.status, 1) << "the corrupt files fail";
                EXPECT_EQ(written.size(), 7u) << format;
                continue;
            }
            EXPECT_EQ(r.status, firstStatus) << format << " -j " << jobs;
            EXPECT_EQ(r.out, firstOut) << format << " -j " << jobs;
            EXPECT_TRUE(written == firstFiles) << format << " -j " << jobs;
        }
        if (format == std::string("rle")) {
            ExpectTracePairsApart(dir + "/state/zorix/trace.txt", 7);  // the twin is skipped
        }
    }
}

// The reduction options reach the engine: the files equal the engine's own with the
// same options, and the default reduces rows that hold too many colours.
TEST_F(CliTest, ReductionOptionsMatchTheEngine) {
    const auto photo = enginetest::PhotoLike(600, 30, 6.0, 5);
    const std::string src = dir + "/photo.png";
    ASSERT_TRUE(photo->SaveToFile_PNG(src, false));
    struct Case {
        std::string args;
        int32_t maxPalette;
        quenda::RLEReduction reduction;
        bool dither;
    };
    for (const Case& c :
         {Case{"", 0, quenda::RLEReduction::Classic, false},
          Case{"--max-palette 250 --reduction classic", 250, quenda::RLEReduction::Classic, false},
          Case{"--max-palette 250 --reduction best", 250, quenda::RLEReduction::Best, false},
          Case{"--max-palette 120 --reduction best --dither", 120, quenda::RLEReduction::Best,
               true}}) {
        SCOPED_TRACE(c.args);
        const std::string target = dir + "/cli.bmp";
        const CliRun r = Cli("convert --to rle --quiet --overwrite " + c.args + " -o " +
                             Quote(target) + " " + Quote(src));
        ASSERT_EQ(r.status, 0) << r.out;
        quenda::ZorixImgEngine engine;
        ASSERT_TRUE(engine.LoadImage(src));
        engine.setRLEMaxPalleteSize(c.maxPalette);
        engine.setRLEReductionMode(c.reduction);
        engine.setRLEDither(c.dither);
        const std::string own = dir + "/own.bmp";
        ASSERT_TRUE(engine.SaveImageAs(own, quenda::IS_BMP_RL));
        std::vector<uint8_t> a, b;
        ASSERT_TRUE(quenda::fileio::ReadWholeFile(target, a));
        ASSERT_TRUE(quenda::fileio::ReadWholeFile(own, b));
        EXPECT_EQ(a, b);
        EXPECT_EQ(engine.RLERowsReduced(), c.maxPalette == 0);
    }
    EXPECT_EQ(Cli("convert --to rle --reduction fine " + Quote(src)).status, 2);
    EXPECT_EQ(Cli("convert --to rle --reduction " + Quote(src)).status, 2);
}
