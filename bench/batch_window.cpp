// The batch window's run against the same conversions through the engine's batch
// rules without a window, in the same process: the window may cost at most a
// tenth more than the plain loop.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "app/Prompter.h"
#include "app/batchForm.h"
#include "engine/BatchRules.h"
#include "engine/ZorixImgEngine.h"
#include "platform/FileIO.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

namespace {

constexpr int kFiles = 100;
constexpr int kWidth = 800;
constexpr int kHeight = 480;

// CPU seconds of this thread: the machine is shared, and waiting for a core is not
// the run's time. The window runs on this thread too.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Says yes to every question, as a user who lets the run go.
class Agreeing final : public zorix::Prompter {
  public:
    Answer MessageBox(QWidget*, const QString&, const QString&, Icon, Buttons buttons) override {
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    QString ChooseFolder(QWidget*, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const SaveRequest&) override { return {}; }
    QStringList ChooseOpenFiles(QWidget*, const OpenRequest&) override { return {}; }
};

// A map-like device bitmap: runs of a few colours, different in every file.
std::vector<uint8_t> DeviceBitmap(int seed) {
    testsupport::RLEBuilder builder;
    builder.width = kWidth;
    builder.height = kHeight;
    for (int i = 1; i <= 40; ++i) {
        builder.colors.push_back(static_cast<uint16_t>((i * 1543 + seed * 97) & 0xFFFF));
    }
    for (int y = 0; y < kHeight; ++y) {
        std::vector<uint8_t> codes(kWidth);
        for (int x = 0; x < kWidth; ++x) {
            codes[static_cast<size_t>(x)] = static_cast<uint8_t>(1 + ((x / 7 + y / 5 + seed) % 40));
        }
        builder.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    return builder.Build();
}

struct Corpus {
    QTemporaryDir dir;
    std::vector<std::string> devices;
    std::vector<std::string> pngs;

    Corpus() {
        QDir().mkpath(dir.filePath("rle"));
        QDir().mkpath(dir.filePath("png"));
        quenda::ZorixImgEngine engine;
        for (int i = 0; i < kFiles; ++i) {
            const std::string device =
                QFile::encodeName(dir.filePath(QStringLiteral("rle/map%1.bmp").arg(i)))
                    .toStdString();
            testsupport::WriteBytes(device, DeviceBitmap(i));
            devices.push_back(device);
            const std::string png =
                QFile::encodeName(dir.filePath(QStringLiteral("png/map%1.png").arg(i)))
                    .toStdString();
            engine.LoadImage(device);
            engine.SaveImageAs(png, quenda::IS_PNG);
            pngs.push_back(png);
        }
    }
};

Corpus& Files() {
    static Corpus corpus;
    return corpus;
}

QString FreshFolder(const char* name) {
    const QString folder = Files().dir.filePath(QString::fromLatin1(name));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder + "/";
}

// The conversions as a loop over the shared batch rules, as zorix-cli does them.
double PlainRun(const std::vector<std::string>& sources, quenda::IMG_SAVE_TYPES type) {
    const std::string folder = QFile::encodeName(FreshFolder("plain")).toStdString();
    const double start = ThreadSeconds();
    quenda::ZorixImgEngine engine;
    quenda::batch::TargetClaims claims;
    for (const std::string& source : sources) {
        const std::string target = quenda::batch::TargetPathIn(folder, source, type);
        if (quenda::batch::SourceIsInTargetFormat(engine, source, type) ||
            claims.Claim(source, target) || quenda::fileio::FileLength(target).value_or(0) > 0) {
            continue;
        }
        if (engine.LoadImage(source)) {
            engine.SaveImageAs(target, type);
        }
    }
    return ThreadSeconds() - start;
}

double WindowRun(const std::vector<std::string>& sources, quenda::IMG_SAVE_TYPES type) {
    const QString folder = FreshFolder("window");
    Agreeing prompter;
    zorix::batchForm form(prompter);
    form.setVolumeRoots({});
    for (const std::string& source : sources) {
        form.AddFile(QFile::decodeName(QByteArray::fromStdString(source)));
    }
    form.trgType()->setCurrentIndex(type - 1);
    form.findChild<QLineEdit*>("trgFolder")->setText(folder);
    // The window is on the screen before Execute is pressed.
    form.show();
    QApplication::processEvents();
    const double start = ThreadSeconds();
    form.runBUT_Click();
    return ThreadSeconds() - start;
}

void Compare(benchmark::State& state, const std::vector<std::string>& sources,
             quenda::IMG_SAVE_TYPES type) {
    // The fastest pass of each: the machine is shared, and a slow pass says more
    // about the neighbours than about the window. Which goes first alternates, so
    // that neither always meets a warmer cache.
    double plain = 1e30;
    double window = 1e30;
    bool windowFirst = false;
    for (auto _ : state) {
        if (windowFirst) {
            window = std::min(window, WindowRun(sources, type));
            plain = std::min(plain, PlainRun(sources, type));
        } else {
            plain = std::min(plain, PlainRun(sources, type));
            window = std::min(window, WindowRun(sources, type));
        }
        windowFirst = !windowFirst;
    }
    state.counters["plain_s"] = plain;
    state.counters["window_s"] = window;
    state.counters["window_vs_plain"] = window / plain;
}

void BM_DeviceBitmapsToPng(benchmark::State& state) {
    Compare(state, Files().devices, quenda::IS_PNG);
}
BENCHMARK(BM_DeviceBitmapsToPng)->Iterations(6)->Unit(benchmark::kSecond);

void BM_PngsToDeviceBitmaps(benchmark::State& state) {
    Compare(state, Files().pngs, quenda::IS_BMP_RL);
}
BENCHMARK(BM_PngsToDeviceBitmaps)->Iterations(6)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
