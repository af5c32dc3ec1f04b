#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/BatchIcons.h"
#include "app/BatchProgress.h"
#include "app/BatchTargetFolder.h"

using namespace zorix;

namespace {

TEST(PlainNumber, IsTheShortestPlainDecimal) {
    EXPECT_EQ(PlainNumber(12.5f), "12.5");
    EXPECT_EQ(PlainNumber(100.0f), "100");
    EXPECT_EQ(PlainNumber(0.0f), "0");
    EXPECT_EQ(PlainNumber(-0.0f), "0");
    EXPECT_EQ(PlainNumber(0.00001f), "0.00001");  // never "1e-05"
    EXPECT_EQ(PlainNumber(1e7f), "10000000");
    EXPECT_EQ(PlainNumber(33.333332f), "33.333332");
    EXPECT_EQ(PlainNumber(std::numeric_limits<float>::quiet_NaN()), "0");
}

TEST(ProgressTexts, NameThePhaseAndItsProgress) {
    EXPECT_EQ(DecodingStatus(50), "decoding RLE (50%)");
    EXPECT_EQ(EncodingStatus("Analyzing Palette", 0), "analyzing palette (0%)");
    EXPECT_EQ(EncodingStatus("Encoding", 2.5f), "encoding (2.5%)");
    EXPECT_EQ(EncodingStatus("Writing", -1), "writing");
}

TEST(RemainingSeconds, StartsAtTheThirdFileAndIsNeverNegative) {
    EXPECT_FALSE(RemainingSeconds(1, 10, 5));
    EXPECT_FALSE(RemainingSeconds(2, 10, 5));
    ASSERT_TRUE(RemainingSeconds(3, 10, 6));
    EXPECT_DOUBLE_EQ(*RemainingSeconds(3, 10, 6), 14);
    EXPECT_DOUBLE_EQ(*RemainingSeconds(10, 10, 6), 0);
    EXPECT_FALSE(RemainingSeconds(5, 3, 6));  // more files started than listed
    EXPECT_FALSE(RemainingSeconds(3, 0, 6));
    EXPECT_FALSE(RemainingSeconds(3, 10, -1) && *RemainingSeconds(3, 10, -1) < 0);
}

TEST(DurationSeconds, RoundsHalvesToEvenAndClamps) {
    EXPECT_EQ(DurationSeconds(1.5), 2);
    EXPECT_EQ(DurationSeconds(2.5), 2);
    EXPECT_EQ(DurationSeconds(-3), 0);
    EXPECT_EQ(DurationSeconds(1e12), std::numeric_limits<int32_t>::max());
}

TEST(TargetFolder, TakesOnlyAbsoluteFoldersWithATrailingSeparator) {
    EXPECT_EQ(WithTrailingSeparator("/out"), "/out/");
    EXPECT_EQ(WithTrailingSeparator("/out/"), "/out/");
    EXPECT_TRUE(IsAbsoluteFolder("/out/"));
    EXPECT_FALSE(IsAbsoluteFolder("out/"));
    EXPECT_FALSE(IsAbsoluteFolder("folder/sub/"));
    EXPECT_FALSE(IsAbsoluteFolder("C:/"));
}

TEST(TargetFolder, RootsAreTheFileSystemRootAndVolumeRoots) {
    EXPECT_TRUE(IsRootFolder("/", {}));
    EXPECT_TRUE(IsRootFolder("//", {}));
    EXPECT_TRUE(IsRootFolder("/media/stick/", {"/media/stick"}));
    EXPECT_TRUE(IsRootFolder("/media/stick", {"/media/stick/"}));
    EXPECT_FALSE(IsRootFolder("/media/stick/photos/", {"/media/stick"}));
    EXPECT_FALSE(IsRootFolder("/media/", {"/media/stick"}));
    EXPECT_TRUE(MountedVolumeRoots().contains("/"));
}

TEST(TargetFolder, ProbesWhatIsThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(ProbeFolder(dir.path() + "/"), FolderProbe::Folder);
    EXPECT_EQ(ProbeFolder(dir.filePath("missing/")), FolderProbe::Missing);
    EXPECT_EQ(ProbeFolder(dir.filePath("file")), FolderProbe::NotFolder);
    EXPECT_TRUE(CreateFolder(dir.filePath("a/b/c/")));
    EXPECT_EQ(ProbeFolder(dir.filePath("a/b/c")), FolderProbe::Folder);
    EXPECT_FALSE(CreateFolder(dir.filePath("file/sub")));
}

TEST(TargetFolder, DeletingKeepsTheListedFilesAndRemovesLinksByThemselves) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = QDir(dir.path()).canonicalPath();
    QDir().mkpath(root + "/out/sub");
    QDir().mkpath(root + "/src");
    for (const char* name : {"out/a.png", "out/keep.bmp", "out/sub/deep.png", "src/s.bmp"}) {
        QFile f(root + "/" + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    ASSERT_TRUE(QFile::link(root + "/src/s.bmp", root + "/out/link.bmp"));
    const QStringList kept =
        DeleteFolderFiles(root + "/out/", {root + "/out/keep.bmp", root + "/src/s.bmp"});
    EXPECT_EQ(kept, QStringList({root + "/out/keep.bmp"}));
    EXPECT_FALSE(QFileInfo::exists(root + "/out/a.png"));
    EXPECT_FALSE(QFileInfo(root + "/out/link.bmp").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(root + "/src/s.bmp"));
    EXPECT_TRUE(QFileInfo::exists(root + "/out/keep.bmp"));
    EXPECT_TRUE(QFileInfo::exists(root + "/out/sub/deep.png"));
}

TEST(BatchIcons, HasTheThreeOutcomes) {
    for (const char* name : {"ok", "x", "skip"}) {
        EXPECT_FALSE(BatchIcon(name).isNull()) << name;
    }
    EXPECT_TRUE(BatchIcon("other").isNull());
}

}  // namespace
