// Where the engine may save: unwritable destinations fail before any encoding, with the
// reason, and leave what was there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "EncodeEventLog.h"
#include "engine/ZorixImgEngine.h"
#include "support/RLEBuilder.h"
#include "support/ScratchFiles.h"
#include "support/TestFiles.h"

namespace enginetest {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> DeviceBitmap() {
    testsupport::RLEBuilder b;
    b.width = 4;
    b.height = 2;
    b.colors = {0xF800, 0x001F};
    b.rows = {{1, 1, 2, 2}, {2, 2, 1, 1}};
    return b.Build();
}

class EngineSaveDestination : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = testsupport::MakeTempDir("zorix-save-dest");
        engine.Subscribe(&log);
        ASSERT_TRUE(engine.LoadImage(testsupport::WriteBytes(dir + "/s.bmp", DeviceBitmap())));
        log.lines.clear();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string dir;
    quenda::ZorixImgEngine engine;
    EventLog log;
};

}  // namespace

TEST_F(EngineSaveDestination, SpecialFilesFailBeforeEncodingStarts) {
    ASSERT_TRUE(testsupport::MakeFifo(dir + "/fifo.bmp"));
    for (int type : {quenda::IS_BMP_RL, quenda::IS_BMP_24, quenda::IS_BMP_32}) {
        EXPECT_FALSE(engine.SaveImageAs(dir + "/fifo.bmp", type));
        EXPECT_EQ(engine.LastFailureReason(), "not a regular file");
    }
    fs::create_directory(dir + "/folder.png");
    EXPECT_FALSE(engine.SaveImageAs(dir + "/folder.png", quenda::IS_PNG));
    EXPECT_EQ(engine.LastFailureReason(), "not a regular file");
    EXPECT_TRUE(log.lines.empty());  // no encoding ran
    EXPECT_TRUE(fs::is_fifo(dir + "/fifo.bmp"));
    EXPECT_TRUE(testsupport::SaveTempFiles(dir).empty());
}

TEST_F(EngineSaveDestination, MissingFolderGivesTheSystemsReason) {
    EXPECT_FALSE(engine.SaveImageAs(dir + "/none/x.bmp", quenda::IS_BMP_RL));
    EXPECT_EQ(engine.LastFailureReason(),
              std::error_code(ENOENT, std::generic_category()).message());
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(EngineSaveDestination, FullFileSystemKeepsTheOldFileAndSaysWhy) {
    testsupport::SmallFileSystem small(dir + "/mnt", 16 * 1024);
    if (!small.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    // A picture whose bitmap cannot fit.
    testsupport::RLEBuilder b;
    b.width = 200;
    b.height = 100;
    b.colors = {0xF800};
    b.rows.assign(100, std::vector<uint8_t>(200, 1));
    ASSERT_TRUE(engine.LoadImage(testsupport::WriteBytes(dir + "/big.bmp", b.Build())));
    const std::string target = testsupport::WriteBytes(dir + "/mnt/t.bmp", {'o', 'l', 'd'});
    EXPECT_FALSE(engine.SaveImageAs(target, quenda::IS_BMP_32));
    EXPECT_EQ(engine.LastFailureReason(),
              std::error_code(ENOSPC, std::generic_category()).message());
    EXPECT_EQ(testsupport::ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(testsupport::SaveTempFiles(dir + "/mnt").empty());
}

}  // namespace enginetest
