// What zorix-cli may write, and that what it says is true: special and linked targets,
// conflicting targets, its own sources, hostile names, failing writes, signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "support/BmpBuilder.h"
#include "support/RLEBuilder.h"
#include "support/ScratchFiles.h"
#include "support/TestFiles.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using clitest::Cli;
using clitest::CliRun;
using clitest::Quote;
using testsupport::ReadBytes;
using testsupport::SaveTempFiles;
using testsupport::WriteBytes;

std::vector<uint8_t> DeviceBitmap() {
    testsupport::RLEBuilder b;
    b.width = 3;
    b.height = 2;
    b.colors = {0xF800, 0x07E0};
    b.rows = {{1, 2, 1}, {2, 1, 2}};
    return b.Build();
}

bool ValidUtf8(const std::string& text) {
    iconv_t cd = iconv_open("UTF-8", "UTF-8");
    std::string in = text;
    std::string out(text.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    return done != static_cast<size_t>(-1) && inLeft == 0;
}

size_t Lines(const std::string& text) {
    size_t n = 0;
    for (char c : text) {
        n += c == '\n';
    }
    return n;
}

class CliSafety : public ::testing::Test {
  protected:
    void SetUp() override { dir = testsupport::MakeTempDir("zorix-cli-safe"); }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    std::string dir;
};

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};

}  // namespace

TEST_F(CliSafety, SpecialTargetsAreRefusedWithTheirReason) {
    const std::string src = WriteBytes(Path("logo.bmp"), DeviceBitmap());
    ASSERT_TRUE(testsupport::MakeFifo(Path("fifo.png")));
    CliRun r =
        Cli("convert --to png --json --overwrite -o " + Quote(Path("fifo.png")) + " " + Quote(src));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"status\": \"error converting image\", \"ok\": false, \"reason\": "
                         "\"not a regular file\", \"error\": \"not-a-regular-file\"}"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(fs::is_fifo(Path("fifo.png")));

    std::vector<std::string> decodeTargets = {Path("fifo.png")};
    if (testsupport::MakeNullDevice(Path("null"))) {
        decodeTargets.push_back(Path("null"));
    }
    for (const std::string& target : decodeTargets) {
        r = Cli("decode " + Quote(src) + " -o " + Quote(target));
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_EQ(r.out.rfind("{\"ok\": false", 0), 0u) << r.out;
    }
    if (decodeTargets.size() > 1) {
        EXPECT_TRUE(fs::is_character_file(Path("null")));
    }
    EXPECT_TRUE(SaveTempFiles(dir).empty());
}

TEST_F(CliSafety, LinkedTargetStaysALink) {
    const std::string src = WriteBytes(Path("logo.bmp"), DeviceBitmap());
    fs::create_directory(Path("real"));
    WriteBytes(Path("real/t.bmp"), kOld);
    fs::create_symlink("real/t.bmp", Path("link.bmp"));
    const CliRun r = Cli("convert --to bmp24 --overwrite --quiet -o " + Quote(Path("link.bmp")) +
                         " " + Quote(src));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(fs::is_symlink(Path("link.bmp")));
    EXPECT_EQ(ReadBytes(Path("real/t.bmp")).size(), 54u + 3 * 2 * 3 + 2 * 3);
}

TEST_F(CliSafety, PathsAreTrimmedWhereTheyEnter) {
    const std::string src = WriteBytes(Path("logo.bmp"), DeviceBitmap());
    WriteBytes(Path("t.bmp"), kOld);
    // A blank before the target must not bypass the overwrite check.
    CliRun r = Cli("convert --to bmp24 --json -o " + Quote(" " + Path("t.bmp") + " ") + " " +
                   Quote("  " + src));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"source\": \"" + src + "\", \"target\": \"" + Path("t.bmp") +
                         "\", \"status\": \"skipped (no overwrite)\", \"ok\": true, "
                         "\"reason\": \"\", \"error\": \"\"}\n");
    EXPECT_EQ(ReadBytes(Path("t.bmp")), kOld);
    r = Cli("info --json " + Quote(" " + src));
    EXPECT_NE(r.out.find("\"path\": \"" + src + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"file_size\": " + std::to_string(DeviceBitmap().size())),
              std::string::npos);
    for (const std::string& args :
         {std::string("convert --to png -o '' ") + Quote(src),
          "convert --to png -o ' ' " + Quote(src), "convert --to png -d '' " + Quote(src),
          "convert --to png --out-dir= " + Quote(src), "decode " + Quote(src) + " -o ''"}) {
        EXPECT_EQ(Cli(args).status, 2) << args;
    }
}

TEST_F(CliSafety, TwoSourcesForOneTargetWriteOnlyTheFirst) {
    fs::create_directory(Path("x"));
    fs::create_directory(Path("y"));
    fs::create_directory(Path("out"));
    const std::string first = WriteBytes(Path("x/logo.bmp"), DeviceBitmap());
    const std::string second = WriteBytes(Path("y/logo.bmp"), DeviceBitmap());
    const CliRun r = Cli("convert --to png --json -d " + Quote(Path("out")) + " " + Quote(first) +
                         " " + Quote(second));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out), 2u);
    const size_t secondLine = r.out.find('\n') + 1;
    EXPECT_NE(r.out.find("\"status\": \"done\""), std::string::npos);
    EXPECT_LT(r.out.find("\"status\": \"done\""), secondLine);
    EXPECT_NE(r.out.find("\"status\": \"error converting image\", \"ok\": false, \"reason\": "
                         "\"same target as " +
                         first + "\", \"error\": \"conflict\"}"),
              std::string::npos)
        << r.out;
}

TEST_F(CliSafety, SourcesAreNeverReplacedByAConversion) {
    const std::string src = WriteBytes(Path("logo.bmp"), DeviceBitmap());
    CliRun r = Cli("convert --to bmp24 --json --overwrite " + Quote(src));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"status\": \"error converting image\", \"ok\": false, \"reason\": \"the "
                         "target is the source file itself\", \"error\": \"conflict\"}"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ReadBytes(src), DeviceBitmap());

    // Nor another source of the same run: a.bmp would become a.png, which is a source.
    ASSERT_EQ(Cli("convert --to png --quiet -o " + Quote(Path("a.png")) + " " + Quote(src)).status,
              0);
    const std::vector<uint8_t> png = ReadBytes(Path("a.png"));
    WriteBytes(Path("a.bmp"), DeviceBitmap());
    r = Cli("convert --to png --json --overwrite " + Quote(Path("a.bmp")) + " " +
            Quote(Path("a.png")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("the target is the source file " + Path("a.png")), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("skipped (no conversion)"), std::string::npos);
    EXPECT_EQ(ReadBytes(Path("a.png")), png);
}

TEST_F(CliSafety, HostileNamesGiveOneValidLineEach) {
    const std::string hostile = Path("a\nb\t\"c\\\xff\xc2\x85.bmp");
    WriteBytes(hostile, DeviceBitmap());
    CliRun r = Cli("info --json " + Quote(hostile) + " " + Quote(Path("none\n.bmp")));
    EXPECT_EQ(Lines(r.out), 2u);
    EXPECT_TRUE(ValidUtf8(r.out));
    EXPECT_NE(r.out.find("a\\nb\\t\\\"c\\\\\\ufffd\\u0085.bmp"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"reason\": \"the file does not exist\""), std::string::npos);

    r = Cli("info " + Quote(hostile));
    EXPECT_EQ(Lines(r.out), 1u);
    EXPECT_NE(r.out.find("a\\nb\\t\"c\\\\\\xff\\xc2\\x85.bmp: Size: 3x2"), std::string::npos)
        << r.out;

    fs::create_directory(Path("out"));
    r = Cli("convert --to png -d " + Quote(Path("out")) + " " + Quote(hostile));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Lines(r.out), 1u);
    r = Cli("convert --to png --json --overwrite -d " + Quote(Path("out")) + " " + Quote(hostile));
    EXPECT_EQ(Lines(r.out), 1u);
    EXPECT_TRUE(ValidUtf8(r.out));
}

TEST_F(CliSafety, FailedWritesSayWhy) {
    const std::string src = WriteBytes(Path("logo.bmp"), DeviceBitmap());
    CliRun r = Cli("convert --to png --json -o " + Quote(Path("no/such/x.png")) + " " + Quote(src));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"reason\": \"No such file or directory\", \"error\": \"cannot-write\"}"),
              std::string::npos)
        << r.out;

    testsupport::SmallFileSystem small(Path("mnt"), 16 * 1024);
    if (!small.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    testsupport::BmpBuilder b;
    b.width = 128;
    b.height = 64;
    b.bitsPerPixel = 32;
    b.pixelData.assign(128 * 64 * 4, 0x5A);
    const std::string big = WriteBytes(Path("big.bmp"), b.Build());
    r = Cli("convert --to bmp32 --json -o " + Quote(Path("mnt/big.bmp")) + " " + Quote(big));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"reason\": \"No space left on device\", \"error\": \"cannot-write\"}"),
              std::string::npos)
        << r.out;
    r = Cli("decode " + Quote(big) + " -o " + Quote(Path("mnt/d.bmp")));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("{\"ok\": false", 0), 0u) << r.out;
    EXPECT_TRUE(SaveTempFiles(Path("mnt")).empty());
}

namespace {

pid_t SpawnCli(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = ZORIX_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

TEST_F(CliSafety, SignalsDuringALargeConversionLeaveNoTempAndTheOldTarget) {
    testsupport::BmpBuilder b;
    b.width = 2400;
    b.height = 2400;
    b.bitsPerPixel = 32;
    b.pixelData.resize(static_cast<size_t>(b.width) * b.height * 4);
    for (size_t i = 0; i < b.pixelData.size(); ++i) {
        b.pixelData[i] = static_cast<uint8_t>(i * 7 + i / 9973);
    }
    const std::string src = WriteBytes(Path("big.bmp"), b.Build());
    fs::create_directory(Path("out"));
    const std::string target = Path("out/big.bmp");
    const size_t complete = 54 + static_cast<size_t>(b.width) * b.height * 3;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        WriteBytes(target, kOld);
        const pid_t child =
            SpawnCli({"convert", "--to", "bmp24", "--overwrite", "--quiet", "-o", target, src});
        ASSERT_GT(child, 0);
        // Strike while the temporary file is being written, if it is seen in time.
        int status = 0;
        bool struck = false;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (!struck && !SaveTempFiles(Path("out")).empty()) {
                ::kill(child, signal);
                struck = true;
            }
            ::usleep(100);
        }
        EXPECT_TRUE(SaveTempFiles(Path("out")).empty());
        const std::vector<uint8_t> now = ReadBytes(target);
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), signal);
            EXPECT_TRUE(now == kOld || now.size() == complete);
        } else {
            EXPECT_EQ(now.size(), complete);
        }
    }
}
