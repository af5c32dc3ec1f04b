#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace desktoptest {

// A path inside the staging root the project was installed into.
QString Staged(const QString& relative);
// The staged Qt plugin folder (what QT_PLUGIN_PATH points at).
QString StagedPluginDir();

struct ProcessResult {
    int exitCode = -1;  // -1 when the program did not start or crashed
    QString out;
    QString err;
};
// Runs a program and waits for it (at most a minute, unless told otherwise).
ProcessResult RunProgram(const QString& program, const QStringList& args,
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                         int timeoutMs = 60000);

// A device bitmap of width x height: columns coloured in runs, with alpha.
std::vector<uint8_t> DeviceBitmap(int32_t width, int32_t height);
// A 24-bit Windows bitmap of width x height.
std::vector<uint8_t> OrdinaryBitmap(int32_t width, int32_t height);

// A fresh scratch folder under the build tree, one per running test; removed by the caller.
std::string ScratchDir(const std::string& name);

}  // namespace desktoptest
