#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <set>

#include "desktop/DesktopTestSupport.h"

namespace {

using desktoptest::RunProgram;
using desktoptest::Staged;

const QString kBin = QStringLiteral(ZORIX_BINDIR);
const QString kLib = QStringLiteral(ZORIX_LIBDIR);
const QString kShare = QStringLiteral(ZORIX_DATADIR);
const QString kVersion = QStringLiteral(ZORIX_VERSION);

// A client of a library built with the sanitizers must be built with them too, or it
// cannot link against the library's instrumentation.
QStringList ClientSanitizerFlags() {
#if defined(__SANITIZE_ADDRESS__)
    return {QStringLiteral("-fsanitize=address,undefined")};
#else
    return {};
#endif
}

// Everything the install must put into the staging root, relative to it.
std::set<QString> ExpectedFiles() {
    std::set<QString> files = {
        kBin + "/zorix",
        kBin + "/zorix-cli",
        kBin + "/zorix-thumbnailer",
        QStringLiteral(ZORIX_QT_PLUGIN_DIR "/imageformats/libqzorixrle.so"),
        kLib + "/pkgconfig/quenda.pc",
        kLib + "/cmake/Quenda/QuendaConfig.cmake",
        kLib + "/cmake/Quenda/QuendaConfigVersion.cmake",
        kShare + "/applications/dev.vk.Zorix.desktop",
        kShare + "/metainfo/dev.vk.Zorix.metainfo.xml",
        kShare + "/icons/hicolor/scalable/apps/dev.vk.Zorix.svg",
        kShare + "/mime/packages/dev.vk.Zorix.xml",
        kShare + "/thumbnailers/zorix.thumbnailer",
        QStringLiteral(ZORIX_MANDIR "/man1/zorix.1"),
        QStringLiteral(ZORIX_MANDIR "/man1/zorix-cli.1"),
        QStringLiteral(ZORIX_DOCDIR "/LICENSE"),
    };
#ifdef ZORIX_QT5_PLUGIN_DIR
    files.insert(QStringLiteral(ZORIX_QT5_PLUGIN_DIR "/imageformats/libqzorixrle.so"));
#endif
    // The GIMP plug-in, the gdk-pixbuf loader and its cache, when built.
    for (const char* extra : {ZORIX_GIMP_PLUGIN, ZORIX_PIXBUF_LOADER, ZORIX_PIXBUF_CACHE_FILE}) {
        if (*extra != '\0') {
            files.insert(QString::fromUtf8(extra));
        }
    }
    for (const char* library : {"quenda", "palvo", "tessil"}) {
        const QString base = kLib + "/lib" + library + ".so";
        files.insert(base);
        files.insert(base + ".1");
        files.insert(base + "." + kVersion);
    }
    for (const QString& size : QStringLiteral(ZORIX_ICON_SIZES).split(',')) {
        files.insert(kShare + "/icons/hicolor/" + size + "x" + size + "/apps/dev.vk.Zorix.png");
    }
    for (const QString& header : QStringLiteral(ZORIX_PUBLIC_HEADERS).split(',')) {
        files.insert(QStringLiteral(ZORIX_INCLUDEDIR "/quenda/") + header);
    }
    return files;
}

std::set<QString> FilesUnder(const QString& root) {
    std::set<QString> files;
    QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.insert(QDir(root).relativeFilePath(it.next()));
    }
    return files;
}

TEST(InstallLayout, InstallsExactlyTheExpectedFiles) {
    // Nothing of tests, benchmarks, the gallery or static helper libraries.
    const std::set<QString> installed = FilesUnder(QStringLiteral(ZORIX_STAGE_DIR));
    const std::set<QString> expected = ExpectedFiles();
    for (const QString& f : expected) {
        EXPECT_TRUE(installed.count(f)) << "missing: " << f.toStdString();
    }
    for (const QString& f : installed) {
        EXPECT_TRUE(expected.count(f)) << "unexpected: " << f.toStdString();
    }
}

QByteArray ReadStaged(const QString& relative) {
    QFile file(Staged(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The project's code is under the MIT licence, and every place a packager looks says so.
TEST(InstallLayout, TheLicenceIsMitEverywhere) {
    EXPECT_TRUE(ReadStaged(QStringLiteral(ZORIX_DOCDIR "/LICENSE")).startsWith("MIT License\n"));
    EXPECT_TRUE(ReadStaged(kShare + "/metainfo/dev.vk.Zorix.metainfo.xml")
                    .contains("<project_license>MIT</project_license>"));
    EXPECT_TRUE(ReadStaged(kLib + "/pkgconfig/quenda.pc").contains("\nLicense: MIT\n"));
    EXPECT_TRUE(ReadStaged(kLib + "/cmake/Quenda/QuendaConfig.cmake")
                    .contains("set(Quenda_LICENSE \"MIT\")"));
}

TEST(InstallLayout, LibrariesCarryTheirVersionLinks) {
    for (const char* library : {"quenda", "palvo", "tessil"}) {
        const QString base = Staged(kLib + "/lib" + library + ".so");
        EXPECT_TRUE(QFileInfo(base).isSymLink()) << library;
        EXPECT_EQ(QFileInfo(base + ".1").symLinkTarget(),
                  QFileInfo(base + "." + kVersion).absoluteFilePath())
            << library;
        EXPECT_FALSE(QFileInfo(base + "." + kVersion).isSymLink()) << library;
    }
}

TEST(InstallLayout, InstalledProgramsFindTheirLibrariesWithoutHelp) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LD_LIBRARY_PATH"));
    const auto version =
        RunProgram(Staged(kBin + "/zorix-cli"), {QStringLiteral("--version")}, env);
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("zorix-cli ") + kVersion + "\n");
    // Without a size the thumbnailer explains its usage (it got as far as main).
    const auto thumb = RunProgram(Staged(kBin + "/zorix-thumbnailer"), {}, env);
    EXPECT_EQ(thumb.exitCode, 1);
    EXPECT_TRUE(thumb.err.contains(QStringLiteral("usage"))) << thumb.err.toStdString();
}

TEST(InstallLayout, DestdirIsHonoured) {
    const std::string root = desktoptest::ScratchDir("destdir");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), QString::fromStdString(root));
    const auto r = RunProgram(QStringLiteral(ZORIX_CMAKE_COMMAND),
                              {QStringLiteral("--install"), QStringLiteral(ZORIX_BUILD_DIR),
                               QStringLiteral("--prefix"), QStringLiteral("/opt/zorix-staged")},
                              env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString prefix = QString::fromStdString(root) + "/opt/zorix-staged/";
    EXPECT_TRUE(QFileInfo::exists(prefix + kBin + "/zorix-cli"));
    EXPECT_TRUE(QFileInfo::exists(prefix + kShare + "/applications/dev.vk.Zorix.desktop"));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/opt/zorix-staged")));
    // The package files stay relative to where they are, so a staged tree works as is.
    // The loader cache names the loader where it will be, not where it was staged.
    if (*ZORIX_PIXBUF_CACHE_FILE != '\0') {
        QFile cache(prefix + ZORIX_PIXBUF_CACHE_FILE);
        ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
        const QByteArray text = cache.readAll();
        EXPECT_TRUE(text.contains("\"/opt/zorix-staged/" ZORIX_PIXBUF_LOADER "\""));
        EXPECT_FALSE(text.contains(QString::fromStdString(root).toUtf8()));
    }
    QFile pc(prefix + kLib + "/pkgconfig/quenda.pc");
    ASSERT_TRUE(pc.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pc.readAll().contains("prefix=${pcfiledir}/"));
    QDir(QString::fromStdString(root)).removeRecursively();
}

TEST(InstallLayout, AClientBuildsAgainstTheInstalledEngineWithPkgConfig) {
    const std::string dir = desktoptest::ScratchDir("client");
    const QString source = QString::fromStdString(dir) + "/client.cpp";
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "#include \"engine/ZorixImgEngine.h\"\n"
        "#include \"engine/cMemPalette.h\"\n"
        "#include \"imaging/c32bppDIB.h\"\n"
        "#include <cstdio>\n"
        "int main(int argc, char** argv) {\n"
        "    quenda::cMemPalette palette;\n"
        "    palette.Load({{}, {0x1234, 32, 0}});\n"
        "    if (palette.Find({0x1234, 32, 0}) != 1) return 2;\n"
        "    quenda::ZorixImgEngine engine;\n"
        "    if (argc < 2 || !engine.LoadImage(argv[1])) return 1;\n"
        "    auto picture = engine.Thumbnail(8, 8, false);\n"
        "    std::printf(\"%s %dx%d %d\\n\", engine.ImageTypeDesc().c_str(),\n"
        "                engine.ImageWidth(), engine.ImageHeight(), picture->Width());\n"
        "    return 0;\n"
        "}\n");
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PKG_CONFIG_PATH"), Staged(kLib + "/pkgconfig"));
    const auto flags = RunProgram(
        QStringLiteral("pkg-config"),
        {QStringLiteral("--cflags"), QStringLiteral("--libs"), QStringLiteral("quenda")}, env);
    ASSERT_EQ(flags.exitCode, 0) << flags.err.toStdString();
    const QString binary = QString::fromStdString(dir) + "/client";
    QStringList args = {QStringLiteral("-std=c++20"), source, QStringLiteral("-o"), binary};
    args += flags.out.simplified().split(' ');
    args += ClientSanitizerFlags();
    const auto compiled = RunProgram(QStringLiteral("c++"), args, env);
    ASSERT_EQ(compiled.exitCode, 0) << compiled.err.toStdString();

    const QString image = QString::fromStdString(dir) + "/device.bmp";
    QFile bmp(image);
    ASSERT_TRUE(bmp.open(QIODevice::WriteOnly));
    const auto bytes = desktoptest::DeviceBitmap(21, 10);
    bmp.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    bmp.close();
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), Staged(kLib));
    const auto ran = RunProgram(binary, {image}, env);
    EXPECT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, QStringLiteral("RLE Bitmap 21x10 8\n"));
    QDir(QString::fromStdString(dir)).removeRecursively();
}

TEST(InstallLayout, AClientBuildsAgainstTheInstalledEngineWithTheCMakePackage) {
    const std::string dir = desktoptest::ScratchDir("cmake-client");
    const QString root = QString::fromStdString(dir);
    QFile list(root + "/CMakeLists.txt");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(
        "cmake_minimum_required(VERSION 3.22)\n"
        "project(client CXX)\n"
        "find_package(Quenda " ZORIX_VERSION
        " REQUIRED)\n"
        "add_executable(client client.cpp)\n"
        "target_link_libraries(client PRIVATE quenda::quenda)\n");
    list.close();
    QFile source(root + "/client.cpp");
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(
        "#include \"engine/ZorixImgEngine.h\"\n"
        "int main() { quenda::ZorixImgEngine e; return e.ImageIsLoaded() ? 1 : 0; }\n");
    source.close();
    const auto configured =
        RunProgram(QStringLiteral(ZORIX_CMAKE_COMMAND),
                   {QStringLiteral("-S"), root, QStringLiteral("-B"), root + "/build",
                    QStringLiteral("-DCMAKE_PREFIX_PATH=") + QStringLiteral(ZORIX_STAGE_DIR),
                    QStringLiteral("-DCMAKE_CXX_FLAGS=") + ClientSanitizerFlags().join(' ')});
    ASSERT_EQ(configured.exitCode, 0)
        << configured.out.toStdString() << configured.err.toStdString();
    const auto built = RunProgram(QStringLiteral(ZORIX_CMAKE_COMMAND),
                                  {QStringLiteral("--build"), root + "/build"});
    ASSERT_EQ(built.exitCode, 0) << built.out.toStdString() << built.err.toStdString();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), Staged(kLib));
    EXPECT_EQ(RunProgram(root + "/build/client", {}, env).exitCode, 0);
    QDir(root).removeRecursively();
}

}  // namespace
