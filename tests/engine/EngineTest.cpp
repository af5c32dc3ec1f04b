#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "engine/InfoLine.h"
#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"
#include "support/EventRecorder.h"
#include "support/RLEBuilder.h"

using namespace quenda;
using testsupport::EventRecorder;
using testsupport::RLEBuilder;

namespace {

std::vector<uint8_t> SmallRLE(bool alpha) {
    RLEBuilder b;
    b.width = 4;
    b.height = 2;
    b.hasAlpha = alpha;
    b.colors = {0xF800, 0x07E0, 0x001F};
    b.alphas = {0, 32, 16, 32};
    b.rows = {{0xFF, 0x04}, {0x01, 0x02, 0x03, 0x01}};
    return b.Build();
}

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = testsupport::MakeTempDir("zorix-engine");
        engine.Subscribe(&events);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::vector<uint8_t> Read(const std::string& path) {
        std::vector<uint8_t> bytes;
        fileio::ReadWholeFile(path, bytes);
        return bytes;
    }
    std::string dir;
    ZorixImgEngine engine;
    EventRecorder events;
};

}  // namespace

TEST_F(EngineTest, PropertyClamps) {
    engine.setRLEColorAccuracy(5);
    EXPECT_EQ(engine.RLEColorAccuracy(), 90.0f);
    engine.setRLEColorAccuracy(250);
    EXPECT_EQ(engine.RLEColorAccuracy(), 100.0f);
    engine.setRLEColorAccuracy(NAN);
    EXPECT_EQ(engine.RLEColorAccuracy(), 90.0f);
    engine.setRLEColorAccuracy(95.5f);
    EXPECT_EQ(engine.RLEColorAccuracy(), 95.5f);
    engine.setRLEMaxPalleteSize(12000);
    EXPECT_EQ(engine.RLEMaxPalleteSize(), 0);
    engine.setRLEMaxPalleteSize(-3);
    EXPECT_EQ(engine.RLEMaxPalleteSize(), 0);
    engine.setRLEMaxPalleteSize(9999);
    EXPECT_EQ(engine.RLEMaxPalleteSize(), 9999);
}

TEST_F(EngineTest, NothingLoaded) {
    EXPECT_EQ(engine.ImageTypeDesc(), "Unknown");
    EXPECT_FALSE(engine.ImageIsLoaded());
    EXPECT_FALSE(engine.ImageHasAlpha());
    EXPECT_EQ(engine.ImageWidth(), 0);
    EXPECT_EQ(engine.FileSize(), 0);
    EXPECT_EQ(engine.FileSizeDesc(), "0 Bytes");
    EXPECT_FALSE(engine.SaveImageAs(dir + "/x.bmp", IS_BMP_24));
}

TEST_F(EngineTest, LoadsDeviceBitmap) {
    const std::string path = Write("Logo.bmp", SmallRLE(true));
    ASSERT_TRUE(engine.LoadImage("  " + path + " "));
    EXPECT_EQ(engine.ImageType(), IL_BMP_RL);
    EXPECT_EQ(engine.ImageTypeDesc(), "RLE Bitmap");
    EXPECT_EQ(engine.RLEColors(), 3);
    EXPECT_EQ(engine.ImageWidth(), 4);
    EXPECT_EQ(engine.ImageHeight(), 2);
    EXPECT_TRUE(engine.ImageHasAlpha());
    EXPECT_TRUE(engine.ImageIsLoaded());
    EXPECT_EQ(engine.FileName(), "Logo.bmp");
    EXPECT_EQ(engine.FileType(), "BMP");
    EXPECT_EQ(engine.FilePath(), path);
    EXPECT_EQ(engine.FileDir(), dir + "/");
    EXPECT_EQ(engine.FileSize(), static_cast<int32_t>(SmallRLE(true).size()));
    EXPECT_EQ(InformationLine(engine),
              "Size: 4x2 | Color palette: 3 | Alpha: yes | Type: RLE Bitmap");
    ASSERT_FALSE(events.lines.empty());
    EXPECT_EQ(events.lines.front(), "DecodingStarted " + path);
    EXPECT_EQ(events.lines.back(), "DecodingComplete " + path + " 1");
}

TEST_F(EngineTest, DetectionMembers) {
    const std::string rle = Write("a.bmp", SmallRLE(false));
    bool hasAlpha = true;
    EXPECT_TRUE(engine.IsRLE(rle, &hasAlpha));
    EXPECT_FALSE(hasAlpha);
    EXPECT_TRUE(engine.IsRLE(Write("b.bmp", SmallRLE(true)), &hasAlpha));
    EXPECT_TRUE(hasAlpha);
    EXPECT_FALSE(engine.IsBMP(rle));

    std::vector<uint8_t> wrongCheck = SmallRLE(false);
    wrongCheck[12] = 0;
    hasAlpha = true;
    EXPECT_FALSE(engine.IsRLE(Write("c.bmp", wrongCheck), &hasAlpha));
    EXPECT_TRUE(hasAlpha);  // left unchanged

    EXPECT_TRUE(engine.IsBMP(Write("d.bmp", {'B', 'M', 0})));
    EXPECT_TRUE(engine.IsPNG(Write("e", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})));
    EXPECT_FALSE(engine.IsPNG(Write("f", {0x89, 'P', 'N', 'G'})));
    EXPECT_TRUE(engine.IsGIF(Write("g", {'G', 'I', 'F', '8', '9', 'a'})));
    EXPECT_TRUE(engine.IsGIF(Write("h", {'g', 'i', 'f', '8', '7', 'A'})));
    EXPECT_FALSE(engine.IsGIF(Write("i", {'G', 'I', 'F', '8', '8', 'a'})));
    EXPECT_TRUE(engine.IsJPG(Write("j", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0})));
    EXPECT_FALSE(engine.IsJPG(Write("k", {0xFF, 0xD8, 0xFF, 0xE1, 0, 0x10, 'E', 'x', 'i', 'f'})));
    EXPECT_FALSE(engine.IsRLE(dir + "/missing"));
    EXPECT_FALSE(engine.IsRLE(dir));
}

TEST_F(EngineTest, FailedLoadsResetTheEngine) {
    ASSERT_TRUE(engine.LoadImage(Write("ok.bmp", SmallRLE(true))));
    const std::vector<std::string> bad = {
        Write("x.jpg", SmallRLE(true)),  // extension decides; JPEG files load nothing
        Write("empty.bmp", {}),
        dir + "/missing.bmp",
        dir,
    };
    for (const std::string& path : bad) {
        EXPECT_FALSE(engine.LoadImage(path)) << path;
        EXPECT_EQ(engine.ImageType(), IL_UNKNOWN);
        EXPECT_FALSE(engine.ImageIsLoaded());
        EXPECT_EQ(engine.FileName(), "");
        EXPECT_EQ(engine.FileSize(), 0);
        EXPECT_FALSE(engine.LastFailureReason().empty());
    }
}

TEST_F(EngineTest, BadPixelCodeFailsTheLoadWithCompletedEvents) {
    RLEBuilder b;
    b.width = 2;
    b.height = 1;
    b.colors = {0xF800};
    b.rows = {{0x01, 0x09}};
    const std::string path = Write("bad.bmp", b.Build());
    EXPECT_FALSE(engine.LoadImage(path));
    EXPECT_EQ(engine.RLEColors(), 1);  // known from the header
    EXPECT_EQ(engine.ImageType(), IL_UNKNOWN);
    EXPECT_EQ(events.lines.back(), "DecodingComplete " + path + " 0");
}

TEST_F(EngineTest, SavesBitmapsWithExtensionRuleAndAlphaChange) {
    ASSERT_TRUE(engine.LoadImage(Write("s.bmp", SmallRLE(true))));
    ASSERT_TRUE(engine.SaveImageAs(dir + "/out.png", IS_BMP_24));
    std::vector<uint8_t> bmp = Read(dir + "/out.bmp");
    ASSERT_EQ(bmp.size(), 54u + 12 * 2);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_FALSE(engine.ImageHasAlpha());  // the change stays
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.png"));

    ASSERT_TRUE(engine.SaveImageAs(dir + "/out32", IS_BMP_32));
    bmp = Read(dir + "/out32.bmp");
    ASSERT_EQ(bmp.size(), 54u + 32);
    EXPECT_EQ(bmp[28], 32);
    EXPECT_TRUE(engine.ImageHasAlpha());
    // Top row transparent, bottom row (first in the file) has red at full alpha.
    EXPECT_EQ(bmp[54 + 2], 255);
    EXPECT_EQ(bmp[54 + 3], 255);
    EXPECT_EQ(bmp[54 + 16 + 3], 0);

    // IS_AUTO from a device bitmap and out-of-range types; file facts never change.
    EXPECT_FALSE(engine.SaveImageAs(dir + "/y.bmp", 6));
    EXPECT_FALSE(engine.SaveImageAs(dir + "/y.bmp", -1));
    EXPECT_EQ(engine.FileName(), "s.bmp");
    EXPECT_EQ(engine.ImageType(), IL_BMP_RL);
}

TEST_F(EngineTest, ReplacesAnExistingFileOnlyWhenComplete) {
    ASSERT_TRUE(engine.LoadImage(Write("s.bmp", SmallRLE(false))));
    const std::string target = Write("t.bmp", {'o', 'l', 'd'});
    ASSERT_TRUE(engine.SaveImageAs(target, IS_BMP_24));
    EXPECT_EQ(Read(target).size(), 54u + 24);

    // A folder that does not exist gives a clear failure.
    EXPECT_FALSE(engine.SaveImageAs(dir + "/no/such/x.bmp", IS_BMP_24));
    EXPECT_FALSE(engine.LastFailureReason().empty());
    // No temporary files are left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().filename().string().find(".zorix-"), std::string::npos);
    }
}

TEST_F(EngineTest, EventsReachEverySubscriberInOrder) {
    EventRecorder second;
    engine.Subscribe(&second);
    engine.Subscribe(&events);  // subscribing twice has no effect
    ASSERT_TRUE(engine.LoadImage(Write("s.bmp", SmallRLE(true))));
    EXPECT_EQ(events.lines, second.lines);
    engine.Unsubscribe(&second);
    const size_t before = second.lines.size();
    ASSERT_TRUE(engine.LoadImage(Write("s2.bmp", SmallRLE(true))));
    EXPECT_EQ(second.lines.size(), before);
}
