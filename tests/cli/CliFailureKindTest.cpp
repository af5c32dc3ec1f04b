#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "codecs/ZlibBinding.h"
#include "support/DamagedPng.h"
#include "support/RLEBuilder.h"
#include "support/ScratchFiles.h"
#include "support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using clitest::Cli;
using clitest::Quote;
using testsupport::DamagedPng;
using testsupport::PngDamage;
using testsupport::WriteBytes;

std::vector<uint8_t> DeviceBitmap() {
    testsupport::RLEBuilder b;
    b.width = 3;
    b.height = 2;
    b.colors = {0xF800, 0x07E0};
    b.rows = {testsupport::EncodeCodesRow({1, 2, 1}), testsupport::EncodeCodesRow({2, 2, 1})};
    return b.Build();
}

// One bad input: `arrange` makes it in the scratch folder and returns the command's
// arguments; the last JSON line must carry `error`.
struct KindCase {
    const char* error;
    std::function<std::string(const std::string& dir)> arrange;
};

std::string InfoOf(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteBytes(path, bytes);
    return "info --json " + Quote(path);
}

std::vector<KindCase> Cases() {
    std::vector<KindCase> cases = {
        {"truncated",
         [](const std::string& d) {
             return InfoOf(d + "/cut.png", DamagedPng(PngDamage::CutInIdat));
         }},
        {"malformed",
         [](const std::string& d) {
             return InfoOf(d + "/w.png", DamagedPng(PngDamage::ZeroWidth));
         }},
        {"unsupported",
         [](const std::string& d) {
             return InfoOf(d + "/i.png", DamagedPng(PngDamage::Interlace2));
         }},
        {"too-large",
         [](const std::string& d) {
             return InfoOf(d + "/h.png", DamagedPng(PngDamage::HugeSize));
         }},
        {"not-an-image",
         [](const std::string& d) {
             return InfoOf(d + "/t.png", {'h', 'i', '!'});
         }},
        {"cannot-read",
         [](const std::string& d) { return "info --json " + Quote(d + "/none.png"); }},
        {"not-a-regular-file",
         [](const std::string& d) {
             testsupport::MakeFifo(d + "/fifo.png");
             return "info --json " + Quote(d + "/fifo.png");
         }},
        {"not-a-regular-file",
         [](const std::string& d) {
             testsupport::MakeFifo(d + "/fifo.png");
             WriteBytes(d + "/logo.bmp", DeviceBitmap());
             return "convert --to png --json --overwrite -o " + Quote(d + "/fifo.png") + " " +
                    Quote(d + "/logo.bmp");
         }},
        // A target below a plain file fails for root as well.
        {"cannot-write",
         [](const std::string& d) {
             WriteBytes(d + "/plain", {'x'});
             WriteBytes(d + "/logo.bmp", DeviceBitmap());
             return "convert --to png --json -o " + Quote(d + "/plain/x.png") + " " +
                    Quote(d + "/logo.bmp");
         }},
        {"conflict",
         [](const std::string& d) {
             fs::create_directories(d + "/a");
             fs::create_directories(d + "/b");
             WriteBytes(d + "/a/logo.bmp", DeviceBitmap());
             WriteBytes(d + "/b/logo.bmp", DeviceBitmap());
             return "convert --to png --json -d " + Quote(d) + " " + Quote(d + "/a/logo.bmp") +
                    " " + Quote(d + "/b/logo.bmp");
         }},
    };
    // Permission bits do not stop root.
    if (::geteuid() != 0) {
        cases.push_back({"cannot-write", [](const std::string& d) {
                             fs::create_directories(d + "/locked");
                             ::chmod((d + "/locked").c_str(), 0555);
                             WriteBytes(d + "/logo.bmp", DeviceBitmap());
                             return "convert --to png --json -d " + Quote(d + "/locked") + " " +
                                    Quote(d + "/logo.bmp");
                         }});
    }
    // CRCs are checked only with zlib.
    if (quenda::zlib::IsEnabled()) {
        cases.push_back({"checksum-mismatch", [](const std::string& d) {
                             return InfoOf(d + "/crc.png", DamagedPng(PngDamage::FlippedIdat));
                         }});
    }
    return cases;
}

std::string LastLine(const std::string& out) {
    const size_t end = out.empty() ? 0 : out.size() - 1;
    const size_t start = out.rfind('\n', end == 0 ? 0 : end - 1);
    return out.substr(start == std::string::npos ? 0 : start + 1);
}

}  // namespace

// Scripts read the kind from the last key; people read the reason beside it.
TEST(CliFailureKind, EachBadInputIsReportedWithItsKind) {
    for (const KindCase& c : Cases()) {
        const std::string dir = testsupport::MakeTempDir("zorix-kind");
        const std::string args = c.arrange(dir);
        const clitest::CliRun r = Cli(args);
        const std::string line = LastLine(r.out);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(line.find("\"ok\": false"), std::string::npos) << line;
        EXPECT_EQ(line.find("\"reason\": \"\""), std::string::npos) << line;
        const std::string tail = ", \"error\": \"" + std::string(c.error) + "\"}\n";
        EXPECT_TRUE(line.size() > tail.size() && line.ends_with(tail)) << c.error << ": " << line;
        ::chmod((dir + "/locked").c_str(), 0755);
        fs::remove_all(dir);
    }
}
