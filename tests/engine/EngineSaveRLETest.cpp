// Saving the engine's image as a device bitmap: the file, the events, and what a
// failed encoding leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EncodeEventLog.h"
#include "engine/RLEEncoder.h"
#include "engine/ZorixImgEngine.h"
#include "platform/FileIO.h"
#include "support/RLEBuilder.h"

namespace enginetest {
namespace {

namespace fs = std::filesystem;
using testsupport::RLEBuilder;

// A 4 x 2 device bitmap with alpha: row 0 transparent, row 1 entries 1 and 2.
std::vector<uint8_t> SmallFile() {
    RLEBuilder b;
    b.hasAlpha = true;
    b.width = 4;
    b.height = 2;
    b.colors = {0xF800, 0x001F};
    b.alphas = {0, 32, 16};
    b.rows = {{0xFF, 4}, {1, 1, 2, 2}};
    return b.Build();
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::vector<uint8_t> bytes;
    quenda::fileio::ReadWholeFile(path, bytes);
    return bytes;
}

class EngineSaveRLE : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = testsupport::MakeTempDir("zorix-save-rle");
        engine_.Subscribe(&log_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Load(const std::vector<uint8_t>& file) {
        const std::string path = (fs::path(dir_) / "source.bmp").string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
        EXPECT_TRUE(engine_.LoadImage(path));
        log_.lines.clear();
        return path;
    }

    size_t FilesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    std::string dir_;
    quenda::ZorixImgEngine engine_;
    EventLog log_;
};

TEST_F(EngineSaveRLE, WritesTheEncodedFileUnderTheBitmapExtension) {
    Load(SmallFile());
    const std::string asked = (fs::path(dir_) / "out.png").string();
    const std::string written = (fs::path(dir_) / "out.bmp").string();
    ASSERT_TRUE(engine_.SaveImageAs(asked, quenda::IS_BMP_RL));
    EXPECT_FALSE(fs::exists(asked));
    // Re-encoding a device bitmap of few colours reproduces it.
    EXPECT_EQ(ReadAll(written), SmallFile());
    EXPECT_TRUE(engine_.LastFailureReason().empty());
    // Events name the destination, not a temporary file.
    ASSERT_FALSE(log_.lines.empty());
    EXPECT_EQ(log_.lines.front(), "Started|" + written);
    EXPECT_EQ(log_.lines.back(), "Complete|" + written + "|1|0");
    EXPECT_EQ(FilesInDir(), 2u);  // source and result, no temporary left
}

TEST_F(EngineSaveRLE, AutoSavesALoadedDeviceBitmapAsOne) {
    Load(SmallFile());
    const std::string target = (fs::path(dir_) / "again.bmp").string();
    ASSERT_TRUE(engine_.SaveImageAs(target));
    EXPECT_EQ(ReadAll(target), SmallFile());
    EXPECT_EQ(engine_.ImageType(), quenda::IL_BMP_RL);  // saving changes no file facts
    EXPECT_EQ(engine_.FileName(), "source.bmp");
}

TEST_F(EngineSaveRLE, ReplacesAnExistingFile) {
    Load(SmallFile());
    const std::string target = (fs::path(dir_) / "old.bmp").string();
    std::ofstream(target) << "previous content";
    ASSERT_TRUE(engine_.SaveImageAs(target, quenda::IS_BMP_RL));
    EXPECT_EQ(ReadAll(target), SmallFile());
}

TEST_F(EngineSaveRLE, TooColourfulRowIsReducedAndSaid) {
    Load(testsupport::ColourfulRowFile());
    const std::string target = (fs::path(dir_) / "out.bmp").string();
    ASSERT_TRUE(engine_.SaveImageAs(target, quenda::IS_BMP_RL));
    EXPECT_TRUE(engine_.LastFailureReason().empty());
    EXPECT_TRUE(engine_.IsRLE(target));
    EXPECT_TRUE(engine_.RLERowsReduced());
    EXPECT_GT(engine_.RLEWrittenColors(), 0);
    EXPECT_LE(engine_.RLEWrittenColors(), 251);
    EXPECT_EQ(log_.lines.back(), "Complete|" + target + "|1|0");
    // A palette limit makes the row fit without reducing rows.
    engine_.setRLEMaxPalleteSize(250);
    EXPECT_TRUE(engine_.SaveImageAs(target, quenda::IS_BMP_RL));
    EXPECT_FALSE(engine_.RLERowsReduced());
    EXPECT_LE(engine_.RLEWrittenColors(), 249);
}

TEST_F(EngineSaveRLE, AccuracyAndLimitReachTheEncoder) {
    Load(testsupport::ColourfulRowFile());
    engine_.setRLEColorAccuracy(90);
    engine_.setRLEMaxPalleteSize(40);
    const std::string target = (fs::path(dir_) / "small.bmp").string();
    ASSERT_TRUE(engine_.SaveImageAs(target, quenda::IS_BMP_RL));
    const std::vector<uint8_t> file = ReadAll(target);
    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ(file[8] | (file[9] << 8), 40);
}

}  // namespace
}  // namespace enginetest
