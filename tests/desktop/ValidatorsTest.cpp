#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "desktop/DesktopTestSupport.h"

namespace {

using desktoptest::RunProgram;
using desktoptest::Staged;

const QString kShare = QStringLiteral(ZORIX_DATADIR);

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(DesktopData, DesktopEntryIsValidAndOpensFiles) {
    const QString entry = Staged(kShare + "/applications/dev.vk.Zorix.desktop");
    const auto r = RunProgram(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    const QString text = ReadText(entry);
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=zorix %f\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=dev.vk.Zorix\n")));
    // File managers offer the program for device bitmaps and the images it also reads.
    EXPECT_TRUE(text.contains(
        QStringLiteral("\nMimeType=image/x-zorix-rle;image/bmp;image/png;image/gif;\n")));
}

TEST(DesktopData, MetainfoIsValidWithoutTheNetwork) {
    const QString metainfo = Staged(kShare + "/metainfo/dev.vk.Zorix.metainfo.xml");
    const auto r = RunProgram(QStringLiteral("appstreamcli"),
                              {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const QString text = ReadText(metainfo);
    EXPECT_TRUE(text.contains(QStringLiteral("<id>dev.vk.Zorix</id>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<screenshot type=\"default\">")));
    EXPECT_TRUE(text.contains(QStringLiteral("version=\"" ZORIX_VERSION "\"")));
}

TEST(DesktopData, ThumbnailerEntryNamesTheInstalledProgram) {
    const QString text = ReadText(Staged(kShare + "/thumbnailers/zorix.thumbnailer"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Thumbnailer Entry]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=zorix-thumbnailer -s %s %i %o\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nMimeType=image/x-zorix-rle;\n")));
}

TEST(DesktopData, ManualPagesAreGeneratedRoff) {
    for (const char* page : {"zorix", "zorix-cli"}) {
        const QString text =
            ReadText(Staged(QStringLiteral(ZORIX_MANDIR "/man1/") + page + QStringLiteral(".1")));
        EXPECT_TRUE(text.contains(QStringLiteral(".TH ") + page + QStringLiteral(" 1 "))) << page;
        EXPECT_TRUE(text.contains(QStringLiteral(".SH SYNOPSIS"))) << page;
    }
    const QString cli = ReadText(Staged(QStringLiteral(ZORIX_MANDIR "/man1/zorix-cli.1")));
    EXPECT_TRUE(cli.contains(QStringLiteral("max-palette")));
}

TEST(DesktopData, PngIconsHaveTheirNamedSizes) {
    for (const QString& size : QStringLiteral(ZORIX_ICON_SIZES).split(',')) {
        const QImage icon(
            Staged(kShare + "/icons/hicolor/" + size + "x" + size + "/apps/dev.vk.Zorix.png"));
        ASSERT_FALSE(icon.isNull()) << size.toStdString();
        EXPECT_EQ(icon.width(), size.toInt());
        EXPECT_EQ(icon.height(), size.toInt());
    }
}

}  // namespace
