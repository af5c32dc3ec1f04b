#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/FileIO.h"
#include "platform/ReplacingFile.h"
#include "platform/TempFiles.h"
#include "support/RLEBuilder.h"
#include "support/ScratchFiles.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;
using quenda::FailureKind;
using quenda::fileio::LastWriteFailure;
using quenda::fileio::ReplacingFile;
using quenda::fileio::WriteFileReplacing;
using testsupport::ReadBytes;
using testsupport::SaveTempFiles;
using testsupport::WriteBytes;

namespace {

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<uint8_t> kNew = {'n', 'e', 'w', '!', '\n'};

std::string LastWriteError() {
    return LastWriteFailure().Text();
}

std::string SystemText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

class ReplacingFileTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = testsupport::MakeTempDir("zorix-replace"); }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    std::string dir;
};

}  // namespace

TEST_F(ReplacingFileTest, WritesNewFilesAndReplacesOldOnesWhole) {
    ASSERT_TRUE(WriteFileReplacing(Path("a.bin"), kNew));
    EXPECT_EQ(ReadBytes(Path("a.bin")), kNew);
    WriteBytes(Path("b.bin"), kOld);
    ASSERT_TRUE(WriteFileReplacing(Path("b.bin"), kNew));
    EXPECT_EQ(ReadBytes(Path("b.bin")), kNew);
    EXPECT_FALSE(LastWriteFailure());
    EXPECT_TRUE(SaveTempFiles(dir).empty());

    // Streaming in pieces; an uncommitted or aborted file leaves the old one alone.
    {
        ReplacingFile file(Path("b.bin"));
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write(kOld.data(), 1));
        EXPECT_TRUE(file.Write(kOld.data() + 1, 2));
        EXPECT_EQ(SaveTempFiles(dir).size(), 1u);
    }
    EXPECT_EQ(ReadBytes(Path("b.bin")), kNew);
    EXPECT_TRUE(SaveTempFiles(dir).empty());
    ReplacingFile pieces(Path("b.bin"));
    ASSERT_TRUE(pieces.Write(kOld.data(), 2) && pieces.Write(kOld.data() + 2, 1));
    ASSERT_TRUE(pieces.Commit());
    EXPECT_EQ(ReadBytes(Path("b.bin")), kOld);
    EXPECT_FALSE(pieces.Write(kOld.data(), 1));  // closed after the commit
}

TEST_F(ReplacingFileTest, SpecialFilesAndFoldersAreNeverReplaced) {
    std::vector<std::string> specials;
    ASSERT_TRUE(testsupport::MakeFifo(Path("fifo")));
    specials.push_back(Path("fifo"));
    if (testsupport::MakeSocket(Path("sock"))) {
        specials.push_back(Path("sock"));
    }
    if (testsupport::MakeNullDevice(Path("null"))) {
        specials.push_back(Path("null"));
    }
    fs::create_directory(Path("folder"));
    specials.push_back(Path("folder"));
    specials.push_back(Path("folder") + "/");
    for (const std::string& path : specials) {
        SCOPED_TRACE(path);
        const mode_t before = ModeOf(path);
        EXPECT_FALSE(WriteFileReplacing(path, kNew));
        EXPECT_EQ(LastWriteFailure().kind, FailureKind::NotARegularFile);
        EXPECT_FALSE(quenda::fileio::CanReplace(path));
        WriteBytes(Path("src"), kNew);
        EXPECT_FALSE(quenda::fileio::CopyFileReplacing(Path("src"), path));
        EXPECT_EQ(ModeOf(path), before);
    }
    EXPECT_TRUE(SaveTempFiles(dir).empty());
    // Nor is a special file read as a source: a FIFO would block.
    EXPECT_FALSE(quenda::fileio::CopyFileReplacing(Path("fifo"), Path("copy")));
    EXPECT_EQ(LastWriteFailure().kind, FailureKind::NotARegularFile);
    EXPECT_FALSE(quenda::fileio::CopyFileReplacing(Path("none"), Path("copy")));
    EXPECT_EQ(LastWriteError(), SystemText(ENOENT));
    EXPECT_EQ(LastWriteFailure().kind, FailureKind::CannotRead);
    EXPECT_FALSE(fs::exists(Path("copy")));
}

TEST_F(ReplacingFileTest, LinksStayAndTheFileTheyNameIsReplacedInItsFolder) {
    fs::create_directory(Path("real"));
    WriteBytes(Path("real/target.bin"), kOld);
    fs::create_symlink("real/target.bin", Path("link"));
    fs::create_symlink(Path("link"), Path("link2"));  // a chain, absolute then relative
    ASSERT_TRUE(WriteFileReplacing(Path("link2"), kNew));
    EXPECT_TRUE(fs::is_symlink(Path("link")));
    EXPECT_TRUE(fs::is_symlink(Path("link2")));
    EXPECT_EQ(ReadBytes(Path("real/target.bin")), kNew);
    EXPECT_TRUE(SaveTempFiles(dir).empty());
    EXPECT_TRUE(SaveTempFiles(Path("real")).empty());

    // A dangling link gets the file it names; a link to a FIFO is refused.
    fs::create_symlink("real/later.bin", Path("dangling"));
    ASSERT_TRUE(WriteFileReplacing(Path("dangling"), kOld));
    EXPECT_EQ(ReadBytes(Path("real/later.bin")), kOld);
    ASSERT_TRUE(testsupport::MakeFifo(Path("real/fifo")));
    fs::create_symlink("real/fifo", Path("tofifo"));
    EXPECT_FALSE(WriteFileReplacing(Path("tofifo"), kNew));
    EXPECT_EQ(LastWriteFailure().kind, FailureKind::NotARegularFile);

    fs::create_symlink("loop2", Path("loop1"));
    fs::create_symlink("loop1", Path("loop2"));
    EXPECT_FALSE(WriteFileReplacing(Path("loop1"), kNew));
    EXPECT_EQ(LastWriteError(), SystemText(ELOOP));
}

TEST_F(ReplacingFileTest, KeepsPermissionsAndOwnerAndMakesNewFilesByTheUmask) {
    WriteBytes(Path("kept"), kOld);
    ::chmod(Path("kept").c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(Path("kept").c_str(), 4321, 4322), 0);
    }
    ASSERT_TRUE(WriteFileReplacing(Path("kept"), kNew));
    struct stat st {};
    ASSERT_EQ(::stat(Path("kept").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }

    const mode_t oldMask = ::umask(027);
    const bool written = WriteFileReplacing(Path("fresh"), kNew);
    ::umask(oldMask);
    ASSERT_TRUE(written);
    EXPECT_EQ(ModeOf(Path("fresh")) & 07777, 0640u);

    // Another name of a hard-linked file keeps the old content; this name gets the new.
    WriteBytes(Path("h1"), kOld);
    fs::create_hard_link(Path("h1"), Path("h2"));
    ASSERT_TRUE(WriteFileReplacing(Path("h1"), kNew));
    EXPECT_EQ(ReadBytes(Path("h1")), kNew);
    EXPECT_EQ(ReadBytes(Path("h2")), kOld);
}

TEST_F(ReplacingFileTest, TempFileIsPrivateShortAndWrittenThroughOneDescriptor) {
    WriteBytes(Path("victim"), kOld);
    WriteBytes(Path("dest"), kOld);
    ReplacingFile file(Path("dest"));
    ASSERT_TRUE(file.IsOpen());
    const std::vector<std::string> temps = SaveTempFiles(dir);
    ASSERT_EQ(temps.size(), 1u);
    EXPECT_LT(temps[0].size(), 40u);
    EXPECT_EQ(ModeOf(Path(temps[0])) & 07777, 0600u);

    // Someone swaps the temporary name for a link: the write still goes to our file,
    // and the commit refuses to put the link in place of the destination.
    fs::remove(Path(temps[0]));
    fs::create_symlink(Path("victim"), Path(temps[0]));
    EXPECT_TRUE(file.Write(kNew.data(), kNew.size()));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadBytes(Path("victim")), kOld);
    EXPECT_EQ(ReadBytes(Path("dest")), kOld);
    EXPECT_FALSE(fs::is_symlink(Path("dest")));
    fs::remove(Path(temps[0]));

    // Names at the length limit can be saved.
    const std::string longName(255, 'n');
    ASSERT_TRUE(WriteFileReplacing(Path(longName), kNew));
    EXPECT_EQ(ReadBytes(Path(longName)), kNew);
    EXPECT_TRUE(SaveTempFiles(dir).empty());
}

TEST_F(ReplacingFileTest, DestinationsTheUserMayNotWriteAreRefused) {
    WriteBytes(Path("locked"), kOld);
    ::chmod(Path("locked").c_str(), 0444);
    ::chmod(dir.c_str(), 0777);
    fs::create_directory(Path("closed"));
    WriteBytes(Path("closed/open"), kOld);
    ::chmod(Path("closed/open").c_str(), 0666);
    ::chmod(Path("closed").c_str(), 0555);
    const std::string denied = SystemText(EACCES);
    const int result = testsupport::RunUnprivileged([&] {
        if (WriteFileReplacing(Path("locked"), kNew) || LastWriteError() != denied) {
            return 1;
        }
        if (quenda::fileio::CanReplace(Path("locked"))) {
            return 2;
        }
        // The file may be written but its folder not: no temporary file, no save.
        if (WriteFileReplacing(Path("closed/open"), kNew) || LastWriteError() != denied) {
            return 3;
        }
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(Path("locked")), kOld);
    EXPECT_EQ(ReadBytes(Path("closed/open")), kOld);
    EXPECT_TRUE(SaveTempFiles(dir).empty());
}

TEST_F(ReplacingFileTest, CanReplaceLeavesAnExistingFileUntouched) {
    WriteBytes(Path("kept"), kOld);
    struct stat before {};
    ::stat(Path("kept").c_str(), &before);
    ::usleep(20000);
    EXPECT_TRUE(quenda::fileio::CanReplace(Path("kept")));
    EXPECT_TRUE(quenda::fileio::CanReplace(Path("new")));
    struct stat after {};
    ::stat(Path("kept").c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ReadBytes(Path("kept")), kOld);
    EXPECT_FALSE(fs::exists(Path("new")));
    EXPECT_TRUE(SaveTempFiles(dir).empty());
    EXPECT_FALSE(quenda::fileio::CanReplace(Path("no/such/folder/x")));
    EXPECT_EQ(LastWriteError(), SystemText(ENOENT));
    EXPECT_EQ(LastWriteFailure().kind, FailureKind::CannotWrite);
}

TEST_F(ReplacingFileTest, FullFileSystemFailsWithTheSystemsReason) {
    testsupport::SmallFileSystem small(Path("mnt"), 64 * 1024);
    if (!small.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    WriteBytes(Path("mnt/old"), kOld);
    const std::vector<uint8_t> big(256 * 1024, 0xAB);
    EXPECT_FALSE(WriteFileReplacing(Path("mnt/old"), big));
    EXPECT_EQ(LastWriteError(), SystemText(ENOSPC));
    EXPECT_EQ(LastWriteFailure().kind, FailureKind::CannotWrite);
    EXPECT_EQ(ReadBytes(Path("mnt/old")), kOld);
    EXPECT_TRUE(SaveTempFiles(Path("mnt")).empty());
}

namespace {

// A child that opens a replacement of `target`, writes a little, says so on `ready`
// and waits to be signalled.
pid_t StartChildWriting(const std::string& target, int ready) {
    const pid_t child = ::fork();
    if (child == 0) {
        ReplacingFile file(target);
        const bool ok = file.Write(kNew.data(), kNew.size());
        const char c = ok ? '1' : '0';
        (void)::write(ready, &c, 1);
        for (;;) {
            ::pause();
        }
    }
    return child;
}

}  // namespace

TEST_F(ReplacingFileTest, InterruptingSignalsRemoveTheTempFileInFlight) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        WriteBytes(Path("target"), kOld);
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = StartChildWriting(Path("target"), pipeFds[1]);
        ASSERT_GT(child, 0);
        char c = 0;
        ASSERT_EQ(::read(pipeFds[0], &c, 1), 1);
        EXPECT_EQ(c, '1');
        EXPECT_EQ(SaveTempFiles(dir).size(), 1u);
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_TRUE(SaveTempFiles(dir).empty());
        EXPECT_EQ(ReadBytes(Path("target")), kOld);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
    }
}

TEST_F(ReplacingFileTest, AnIgnoredSignalStaysIgnored) {
    WriteBytes(Path("target"), kOld);
    int toParent[2], toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGHUP, SIG_IGN);
        ReplacingFile file(Path("target"));
        file.Write(kNew.data(), kNew.size());
        char c = '1';
        (void)::write(toParent[1], &c, 1);
        (void)::read(toChild[0], &c, 1);  // the parent has sent SIGHUP meanwhile
        ::_exit(file.Commit() ? 0 : 1);
    }
    char c = 0;
    ASSERT_EQ(::read(toParent[0], &c, 1), 1);
    ::kill(child, SIGHUP);
    ::usleep(50000);
    (void)::write(toChild[1], &c, 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadBytes(Path("target")), kNew);
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) {
        ::close(fd);
    }
}

TEST_F(ReplacingFileTest, LeftoversOfDeadProcessesGoWithTheNextSaveToTheirDestination) {
    const pid_t dead = ::fork();
    if (dead == 0) {
        ::_exit(0);
    }
    ::waitpid(dead, nullptr, 0);
    const pid_t alive = ::fork();
    if (alive == 0) {
        ::pause();
        ::_exit(0);
    }
    using quenda::fileio::TempName;
    const std::string stale = TempName("target", dead, 3);
    const std::string living = TempName("target", alive, 3);
    const std::string locked = TempName("target", dead, 4);
    const std::string other = TempName("other", dead, 3);
    for (const std::string& name : {stale, living, locked, other}) {
        WriteBytes(Path(name), kOld);
    }
    // A lock held on a leftover means some process still writes it.
    const int lockFd = ::open(Path(locked).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);

    ASSERT_TRUE(WriteFileReplacing(Path("target"), kNew));
    EXPECT_FALSE(fs::exists(Path(stale)));
    EXPECT_TRUE(fs::exists(Path(living)));
    EXPECT_TRUE(fs::exists(Path(locked)));
    EXPECT_TRUE(fs::exists(Path(other)));
    ::close(lockFd);
    ::kill(alive, SIGKILL);
    ::waitpid(alive, nullptr, 0);
}
