#include "desktop/DesktopTestSupport.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include "support/BmpBuilder.h"
#include "support/RLEBuilder.h"

namespace desktoptest {

QString Staged(const QString& relative) {
    return QStringLiteral(ZORIX_STAGE_DIR "/") + relative;
}

QString StagedPluginDir() {
    return Staged(QStringLiteral(ZORIX_QT_PLUGIN_DIR));
}

ProcessResult RunProgram(const QString& program, const QStringList& args,
                         const QProcessEnvironment& env, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    ProcessResult result;
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    return result;
}

std::vector<uint8_t> DeviceBitmap(int32_t width, int32_t height) {
    testsupport::RLEBuilder b;
    b.width = width;
    b.height = height;
    b.hasAlpha = true;
    b.colors = {0xF800, 0x07E0, 0x001F, 0xFFE0};
    b.alphas = {0, 32, 16, 24, 32};
    std::vector<uint8_t> codes(static_cast<size_t>(width));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            codes[static_cast<size_t>(x)] = static_cast<uint8_t>((x / 7 + y / 5) % 5);
        }
        b.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    return b.Build();
}

std::vector<uint8_t> OrdinaryBitmap(int32_t width, int32_t height) {
    testsupport::BmpBuilder b;
    b.width = width;
    b.height = height;
    std::vector<uint32_t> values;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            values.push_back(static_cast<uint32_t>((x * 40) << 16 | (y * 40) << 8 | 0x80));
        }
    }
    b.pixelData = testsupport::PackRows(width, height, 24, values, false);
    return b.Build();
}

std::string ScratchDir(const std::string& name) {
    // CTest runs the tests of one fixture side by side: each gets a folder of its own,
    // so that one test's fresh start does not remove another's files.
    std::string folder = name;
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
        folder += std::string("-") + test->name();
    }
    const QString path =
        QStringLiteral(ZORIX_BUILD_DIR "/scratch/") + QString::fromStdString(folder);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path.toStdString();
}

}  // namespace desktoptest
