#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/FileListRules.h"

using namespace zorix;

namespace {

TEST(FormatFileSize, UsesBinaryUnitsAndTwoDecimals) {
    EXPECT_EQ(FormatFileSize(0), "0");
    EXPECT_EQ(FormatFileSize(1), "1");
    EXPECT_EQ(FormatFileSize(1023), "1023");
    EXPECT_EQ(FormatFileSize(1024), "1 KB");
    EXPECT_EQ(FormatFileSize(1536), "1.5 KB");
    EXPECT_EQ(FormatFileSize(1160), "1.13 KB");
    EXPECT_EQ(FormatFileSize(1048576), "1 MB");
    EXPECT_EQ(FormatFileSize(1073741824.0 * 3), "3 GB");
    EXPECT_EQ(FormatFileSize(1099511627776.0), "1 TB");
}

TEST(FormatFileSize, HalvesRoundToEven) {
    EXPECT_EQ(FormatFileSize(1152), "1.12 KB");  // 1.125
    EXPECT_EQ(FormatFileSize(1024 + 1024 * 0.375), "1.38 KB");
}

TEST(FormatFileSize, StopsAtTerabytes) {
    EXPECT_EQ(FormatFileSize(1099511627776.0 * 2048), "2048 TB");
}

TEST(ListExtension, IsTheUpperCaseTextAfterTheLastDot) {
    EXPECT_EQ(ListExtension("a.b.Png"), "PNG");
    EXPECT_EQ(ListExtension("bmp"), "BMP");
    EXPECT_EQ(ListExtension("name."), "");
}

TEST(IsListedFile, NeedsAKnownExtensionAndOneByte) {
    EXPECT_TRUE(IsListedFile("a.bmp", 1));
    EXPECT_TRUE(IsListedFile("b.PNG", 10));
    EXPECT_TRUE(IsListedFile("c.gif", 10));
    EXPECT_TRUE(IsListedFile("bmp", 10));
    EXPECT_FALSE(IsListedFile("f.bmp", 0));
    EXPECT_FALSE(IsListedFile("d.jpg", 10));
    EXPECT_FALSE(IsListedFile("e", 10));
    EXPECT_FALSE(IsListedFile("x.bmp.txt", 10));
}

TEST(ImageFilePatterns, NameTheListedExtensionsInLowerCase) {
    EXPECT_EQ(ImageFilePatterns(), "*.bmp;*.png;*.gif");
}

void Touch(const QString& path, int bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, 'x'));
}

TEST(ListImageFiles, ListsOnlyNonEmptyImagesOfTheFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Touch(dir.filePath("a.bmp"), 5);
    Touch(dir.filePath("b.PNG"), 2048);
    Touch(dir.filePath("c.gif"), 5);
    Touch(dir.filePath("d.jpg"), 5);
    Touch(dir.filePath("e"), 5);
    Touch(dir.filePath("f.bmp"), 0);
    Touch(dir.filePath("bmp"), 7);
    Touch(dir.filePath(".hidden.bmp"), 5);
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub.bmp"));

    const QVector<FileListEntry> entries = ListImageFiles(dir.path());
    QStringList names;
    for (const FileListEntry& entry : entries) {
        names << entry.name;
    }
    EXPECT_EQ(names, QStringList({"a.bmp", "b.PNG", "bmp", "c.gif"}));

    const FileListEntry& png = entries[1];
    EXPECT_EQ(png.path, QDir(dir.path()).absoluteFilePath("b.PNG"));
    EXPECT_EQ(png.extension, "PNG");
    EXPECT_EQ(png.sizeText, "2 KB");
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(png.timeText)
                    .hasMatch())
        << png.timeText.toStdString();
    EXPECT_EQ(entries[2].extension, "BMP");
}

TEST(ListImageFiles, MissingFolderGivesAnEmptyList) {
    EXPECT_TRUE(ListImageFiles("/no/such/folder/here").isEmpty());
}

TEST(FormatFileTime, UsesIsoLikeOrder) {
    const QDateTime time(QDate(2024, 3, 7), QTime(9, 5, 2));
    EXPECT_EQ(FormatFileTime(time), "2024-03-07 09:05:02");
}

}  // namespace
