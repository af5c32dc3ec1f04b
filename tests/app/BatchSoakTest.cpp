// A long run of the batch window: many files, some of them damaged, converted in one
// run. Every good file must come out as the engine alone converts it, every damaged
// one must be reported in its row, and the run must leave no descriptor, temporary
// file or memory behind. ZORIX_SOAK_FILES sets the number of files (1000 by default).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/batchForm.h"
#include "app/modSettings.h"
#include "engine/ZorixImgEngine.h"

using apptest::FakePrompter;
using zorix::batchForm;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPlainHeap = false;  // the sanitizer's quarantine holds freed memory
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPlainHeap = false;
#else
constexpr bool kPlainHeap = true;
#endif
#else
constexpr bool kPlainHeap = true;
#endif

int SoakFiles() {
    const int wanted = qEnvironmentVariableIntValue("ZORIX_SOAK_FILES");
    return wanted > 0 ? wanted : 1000;
}

// Resident memory of this process in kB.
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

int OpenDescriptors() {
    return static_cast<int>(
        QDir("/proc/self/fd")
            .entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files | QDir::Dirs)
            .size());
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

struct Source {
    QString path;
    bool good;
};

// Every tenth file is damaged: cut inside its header, or not an image at all.
std::vector<Source> MakeSources(const QString& folder, int count) {
    std::vector<Source> sources;
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/f%2.bmp").arg(folder).arg(i, 5, 10, QChar('0'));
        std::vector<uint8_t> bytes =
            apptest::MakeDeviceBitmap(4 + i % 29, 3 + i % 17, 2 + i % 13, i % 2 == 0);
        const bool good = i % 10 != 7;
        if (!good) {
            bytes.resize(i % 20 == 7 ? 9 : 0);
            bytes.insert(bytes.end(), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
        }
        apptest::WriteBytes(path, bytes);
        sources.push_back({path, good});
    }
    return sources;
}

// What the engine alone writes for `source` as a PNG.
QByteArray Expected(const QString& source, const QString& folder) {
    quenda::ZorixImgEngine engine;
    engine.setRLEColorAccuracy(zorix::ColorAccuracy);
    engine.setRLEMaxPalleteSize(zorix::MaxPaletteSize);
    const QString target = folder + "/expected.png";
    if (!engine.LoadImage(Native(source)) || !engine.SaveImageAs(Native(target), quenda::IS_PNG)) {
        return QByteArray();
    }
    return ReadAll(target);
}

// Peak resident memory up to a row, and after it, sampled while the run goes on.
class MemoryWatch {
  public:
    MemoryWatch(const batchForm& form, int markRow) : form_(form), markRow_(markRow) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Sample(); });
        timer_.start();
    }
    long PeakBefore() const { return before_; }
    long PeakAfter() const { return after_; }
    int Samples() const { return samples_; }

  private:
    void Sample() {
        // "Converting file i of n"
        const int row = form_.lblAct()->text().section(' ', 2, 2).toInt();
        long& peak = row <= markRow_ ? before_ : after_;
        peak = std::max(peak, ResidentKb());
        ++samples_;
    }

    const batchForm& form_;
    int markRow_;
    QTimer timer_;
    long before_ = 0;
    long after_ = 0;
    int samples_ = 0;
};

TEST(BatchSoak, ALongRunConvertsEveryGoodFileAndLeavesNothingBehind) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString root = QDir(scratch.path()).canonicalPath();
    QDir().mkpath(root + "/in");
    QDir().mkpath(root + "/out");
    QDir().mkpath(root + "/expected");
    const int count = SoakFiles();
    const std::vector<Source> sources = MakeSources(root + "/in", count);

    FakePrompter prompter;
    batchForm form(prompter);
    form.setVolumeRoots({});
    for (const Source& source : sources) {
        form.AddFile(source.path);
    }
    ASSERT_EQ(form.llist()->topLevelItemCount(), count);
    form.trgType()->setCurrentIndex(3);  // PNG
    form.trgFolder()->setText(root + "/out");

    // What earlier tests left to close is closed first, so the count is this run's.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    const int descriptorsBefore = OpenDescriptors();
    {
        MemoryWatch watch(form, count / 10);
        form.runBUT_Click();
        const long growth = watch.PeakAfter() - watch.PeakBefore();
        std::printf(
            "batch soak: %d files, peak RSS %ld kB to file %d, %ld kB after (%+ld kB), "
            "%d samples\n",
            count, watch.PeakBefore(), count / 10, watch.PeakAfter(), growth, watch.Samples());
        if (kPlainHeap) {
            EXPECT_LT(growth, 10 * 1024);
        }
    }
    EXPECT_LE(OpenDescriptors(), descriptorsBefore);
    ASSERT_TRUE(form.RunFinished());
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().text, "Batch conversion complete.");

    QStringList expectedNames;
    for (int i = 0; i < count; ++i) {
        const Source& source = sources[i];
        QTreeWidgetItem* row = form.llist()->topLevelItem(i);
        const QString name = QFileInfo(source.path).completeBaseName() + ".png";
        SCOPED_TRACE(name.toStdString());
        if (source.good) {
            expectedNames << name;
            ASSERT_EQ(row->text(1), "done");
            // Every 7th file is compared byte for byte; the rest by their presence.
            if (i % 7 == 0) {
                EXPECT_EQ(ReadAll(root + "/out/" + name),
                          Expected(source.path, root + "/expected"));
            }
        } else {
            EXPECT_EQ(row->text(1), "error loading image");
            EXPECT_EQ(row->data(0, batchForm::kIconRole).toString(), "x");
            EXPECT_FALSE(row->toolTip(1).isEmpty());
        }
    }
    QStringList present = QDir(root + "/out").entryList(QDir::Files | QDir::Hidden);
    present.sort();
    expectedNames.sort();
    EXPECT_EQ(present, expectedNames);
}

}  // namespace
