// The workbench in the main window, driven as a user drives it: zoom by the menu,
// the keys and Ctrl+wheel, the inspector under the pointer, the palette panel, the
// device preview; the information line keeps its text with every view on.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "MainFormFixture.h"
#include "app/PalettePanel.h"
#include "app/PixelInspector.h"
#include "app/ZoomRules.h"
#include "app/optionsForm.h"
#include "button/VkButton.h"
#include "engine/modColor.h"
#include "imaging/c32bppDIB.h"

using zorix::mainForm;

namespace {

class WorkbenchTest : public apptest::MainFormFixture {
  protected:
    // Starts on a folder with one device bitmap and shows it.
    mainForm& ShowDevice(int w, int h, int colors = 4) {
        apptest::WriteBytes(FilePath("icon.bmp"), apptest::MakeDeviceBitmap(w, h, colors, true));
        mainForm& form = Start();
        Select("icon.bmp");
        return form;
    }
    // An ordinary PNG with colours RGB565 cannot hold exactly.
    mainForm& ShowPhoto(int w, int h) {
        quenda::c32bppDIB image;
        image.InitializeDIB(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                image.SetPixel(x, y,
                               static_cast<uint32_t>(x * 3 + 1) | ((y * 5 + 3u) << 8) | (77u << 16),
                               255);
            }
        }
        EXPECT_TRUE(image.SaveToFile_PNG(FilePath("photo.png").toStdString()));
        mainForm& form = Start();
        Select("photo.png");
        return form;
    }
    QWidget* View() const { return form_->findChild<QWidget*>("view"); }
    // A point of the view over pixel (x, y) of the shown picture, at its centre.
    QPoint Over(int x, int y) const {
        const double scale = form_->ShownScale();
        const QPoint origin = form_->trgPIC()->pos() + form_->trgPIC()->contentsRect().topLeft();
        return origin +
               QPoint(static_cast<int>((x + 0.5) * scale), static_cast<int>((y + 0.5) * scale));
    }
    void MoveTo(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, View()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(View(), &move);
    }
    void WheelAt(QPoint at, int dy) {
        QWheelEvent wheel(at, View()->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View(), &wheel);
    }
};

}  // namespace

TEST_F(WorkbenchTest, ViewMenuCarriesTheCommandsWithTheirKeys) {
    mainForm& form = Start();
    const std::vector<std::tuple<QAction*, QString, QList<QKeySequence>>> expected = {
        {form.mZoomIn(), "Zoom &in", {QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")}},
        {form.mZoomOut(), "Zoom &out", {QKeySequence("Ctrl+-")}},
        {form.mActualSize(), "&Actual size", {QKeySequence("Ctrl+0")}},
        {form.mPalette(), "&Palette", {QKeySequence("F9")}},
        {form.mDevicePreview(), "&Device preview", {QKeySequence("F8")}},
    };
    QMenu* view = form.findChild<QMenu*>("mView");
    for (const auto& [action, caption, keys] : expected) {
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), caption);
        EXPECT_EQ(action->shortcuts(), keys);
        EXPECT_TRUE(view->actions().contains(action));
    }
    EXPECT_TRUE(view->actions().contains(form.mFitWindow()));
    // Off until chosen: no field, no panel, no preview.
    EXPECT_FALSE(form.zoomField()->isVisible());
    EXPECT_FALSE(form.pixelField()->isVisible());
    EXPECT_FALSE(form.previewField()->isVisible());
    EXPECT_FALSE(form.Palette()->isVisible());
    EXPECT_FALSE(form.mDevicePreview()->isChecked());
}

TEST_F(WorkbenchTest, CtrlPlusShowsSharpEnlargedPixelsAndCtrlZeroTheActualSize) {
    mainForm& form = ShowDevice(16, 16);
    const QString line = form.status()->text();
    const QImage original = form.ShownPicture();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form.ShownScale(), 4);
    EXPECT_EQ(form.zoomField()->text(), "400 %");
    EXPECT_TRUE(form.zoomField()->isVisible());
    EXPECT_EQ(form.trgPIC()->size(), QSize(64, 64));
    EXPECT_EQ(form.status()->text(), line);
    // Every shown pixel is the picture's pixel under it: squares of 4 x 4.
    const QImage shown = form.trgPIC()->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(64, 64));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, original.pixel(x / 4, y / 4) & 0xFFFFFF)
                << x << "," << y;
        }
    }
    QTest::keyClick(&form, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form.ShownScale(), 3);
    QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form.ShownScale(), 1);
    EXPECT_FALSE(form.zoomField()->isVisible());
    EXPECT_EQ(form.trgPIC()->size(), QSize(16, 16));
    EXPECT_EQ(form.trgPIC()->pixmap().toImage().pixel(3, 3), original.pixel(3, 3));
}

TEST_F(WorkbenchTest, ZoomStopsAtItsLimitsAndKeepsToTheSessionAcrossFiles) {
    mainForm& form = ShowDevice(40, 30);
    for (int i = 0; i < 40; ++i) {
        form.mZoomOut()->trigger();
    }
    EXPECT_DOUBLE_EQ(form.ShownScale(), zorix::kMinZoom);
    EXPECT_EQ(form.trgPIC()->size(), QSize(3, 2));
    for (int i = 0; i < 40; ++i) {
        form.mZoomIn()->trigger();
    }
    EXPECT_DOUBLE_EQ(form.ShownScale(), zorix::kMaxZoom);
    EXPECT_EQ(form.trgPIC()->size(), QSize(1280, 960));
    EXPECT_TRUE(form.hsb()->isVisible());
    // Another file is shown at the same zoom.
    apptest::WriteBytes(FilePath("other.bmp"), apptest::MakeDeviceBitmap(10, 10, 3, false));
    form.RefreshLists();
    Select("other.bmp");
    EXPECT_EQ(form.trgPIC()->size(), QSize(320, 320));
    // Fit to window ends the zoom.
    form.mFitWindow()->trigger();
    EXPECT_TRUE(form.FitToWindow());
    EXPECT_EQ(form.trgPIC()->size(), QSize(10, 10));
}

TEST_F(WorkbenchTest, CtrlWheelZoomsAboutThePointer) {
    mainForm& form = ShowDevice(200, 150, 7);
    form.ZoomTo(2);
    const QPoint at = Over(130, 90);
    const QString before = form.InspectAt(at);
    ASSERT_TRUE(before.startsWith("x 130, y 90 |")) << before.toStdString();
    WheelAt(at, 120);
    EXPECT_DOUBLE_EQ(form.ShownScale(), 3);
    EXPECT_EQ(form.InspectAt(at), before);
    WheelAt(at, -120);
    EXPECT_DOUBLE_EQ(form.ShownScale(), 2);
    EXPECT_EQ(form.InspectAt(at), before);
    // Without Ctrl the wheel scrolls (with Shift sideways) and leaves the zoom alone.
    WheelAt(at, 120);
    ASSERT_FALSE(form.hsb()->isHidden());
    QWheelEvent plain(at, View()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &plain);
    EXPECT_DOUBLE_EQ(form.ShownScale(), 3);
    EXPECT_NE(form.InspectAt(at), before);
}

TEST_F(WorkbenchTest, InspectorFollowsThePointerOverTheDevicePalette) {
    mainForm& form = ShowDevice(16, 16);
    const QString line = form.status()->text();
    form.ZoomTo(8);
    MoveTo(Over(3, 2));
    const QString first = form.pixelField()->text();
    EXPECT_TRUE(form.pixelField()->isVisible());
    // Code 1 + (x + y) % 4 with entry colours 0xF800 | (i * 37 % 0x7FF).
    const int entry = 1 + (3 + 2) % 4;
    const auto code = static_cast<uint16_t>(0xF800 | (entry * 37 % 0x7FF));
    const QString hex = QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
    EXPECT_EQ(first, QStringLiteral("x 3, y 2 | Index %1 | RGB565 0x").arg(entry) + hex +
                         " | Alpha 32/32 | " + zorix::HexColor(quenda::RGB565ToRGB(code)));
    MoveTo(Over(4, 2));
    EXPECT_NE(form.pixelField()->text(), first);
    EXPECT_TRUE(form.pixelField()->text().startsWith("x 4, y 2 | Index "));
    EXPECT_EQ(form.status()->text(), line);
    // Off the picture nothing shows.
    MoveTo(Over(-3, -3));
    EXPECT_FALSE(form.pixelField()->isVisible());
    MoveTo(Over(4, 2));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(View(), &leave);
    EXPECT_FALSE(form.pixelField()->isVisible());
}

TEST_F(WorkbenchTest, InspectorShowsRgbaOfOrdinaryImages) {
    mainForm& form = ShowPhoto(30, 20);
    EXPECT_EQ(form.InspectAt(Over(2, 1)), "x 2, y 1 | RGBA 7, 8, 77, 255");
}

TEST_F(WorkbenchTest, PalettePanelShowsEntriesWithTheirUseAndHighlightsOne) {
    mainForm& form = ShowDevice(16, 16);
    const QString line = form.status()->text();
    form.mPalette()->trigger();
    zorix::PalettePanel* panel = form.Palette();
    ASSERT_TRUE(panel->isVisible());
    QListWidget* swatches = panel->swatches();
    ASSERT_EQ(swatches->count(), 5);  // the transparent entry and four colours
    uint64_t total = 0;
    for (int i = 0; i < swatches->count(); ++i) {
        total += swatches->item(i)->text().toULongLong();
    }
    EXPECT_EQ(total, 256u);
    EXPECT_EQ(swatches->item(0)->text(), "1");  // code 0 at (0, 0) only
    EXPECT_TRUE(swatches->item(0)->toolTip().startsWith("Index 0 (transparent)"));
    EXPECT_TRUE(swatches->item(2)->toolTip().startsWith("Index 2\nRGB565 0x"));
    EXPECT_EQ(form.status()->text(), line);

    // Clicking a swatch highlights its pixels; clicking it again ends that.
    const QImage plain = form.ShownPicture();
    const QRect rect = swatches->visualItemRect(swatches->item(2));
    QTest::mouseClick(swatches->viewport(), Qt::LeftButton, {}, rect.center());
    const QImage lit = form.ShownPicture();
    EXPECT_NE(lit, plain);
    EXPECT_EQ(lit.pixel(1, 0), plain.pixel(1, 0));  // entry 2 at (1, 0)
    EXPECT_NE(lit.pixel(2, 0), plain.pixel(2, 0));
    QTest::mouseClick(swatches->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(form.ShownPicture(), plain);

    // F9 again closes the panel.
    form.mPalette()->trigger();
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(WorkbenchTest, PalettePanelCountsTheColoursOfOrdinaryImages) {
    mainForm& form = ShowPhoto(30, 20);
    form.mPalette()->trigger();
    EXPECT_FALSE(form.Palette()->swatches()->isVisible());
    // 30 x 20 distinct colours; RGB565 keeps 5 bits of red and 6 of green.
    EXPECT_EQ(form.Palette()->summary()->text(),
              QStringLiteral("Distinct colours: 600\nDistinct RGB565 colours: %1")
                  .arg(zorix::CountColors(*form.Engine()->Image()).distinct565));
    EXPECT_LT(zorix::CountColors(*form.Engine()->Image()).distinct565, 600u);
}

TEST_F(WorkbenchTest, F8FlipsBetweenTheDevicePreviewAndTheOriginal) {
    mainForm& form = ShowPhoto(40, 30);
    const QString line = form.status()->text();
    const QImage original = form.ShownPicture();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F8);
    ASSERT_TRUE(form.mDevicePreview()->isChecked());
    ASSERT_NE(form.DeviceView(), nullptr);
    ASSERT_TRUE(form.DeviceView()->success) << form.DeviceView()->failureReason;
    EXPECT_NE(form.ShownPicture(), original);
    EXPECT_EQ(form.ShownPicture(), form.DeviceView()->picture);
    EXPECT_TRUE(form.previewField()->text().startsWith("Device preview: "));
    EXPECT_TRUE(form.previewField()->isVisible());
    EXPECT_EQ(form.status()->text(), line);
    // The inspector shows the preview's palette entries.
    EXPECT_TRUE(form.InspectAt(Over(1, 1)).contains("| Index "));
    QTest::keyClick(&form, Qt::Key_F8);
    EXPECT_EQ(form.ShownPicture(), original);
    EXPECT_FALSE(form.previewField()->isVisible());
    EXPECT_EQ(form.status()->text(), line);
}

TEST_F(WorkbenchTest, DevicePreviewFollowsTheOptionsAtOnce) {
    mainForm& form = ShowPhoto(40, 30);
    form.mDevicePreview()->trigger();
    ASSERT_TRUE(form.DeviceView() && form.DeviceView()->success);
    const int32_t before = form.DeviceView()->paletteSize;
    QTimer::singleShot(0, [] {
        auto* options = qobject_cast<zorix::optionsForm*>(QApplication::activeModalWidget());
        ASSERT_NE(options, nullptr);
        options->ca()->setValue(90);
        QTest::mouseClick(options->okBUT(), Qt::LeftButton);
    });
    form.findChild<QAction*>("mOptions")->trigger();
    ASSERT_TRUE(form.DeviceView() && form.DeviceView()->success);
    EXPECT_LT(form.DeviceView()->paletteSize, before);
    EXPECT_TRUE(
        form.previewField()->text().contains(QString::number(form.DeviceView()->paletteSize)));
}

// Opened from the main window, the batch window cuts off none of its labels.
TEST_F(WorkbenchTest, BatchWindowLabelsShowTheirWholeText) {
    mainForm& form = Start();
    QStringList cut;
    bool seen = false;
    QTimer::singleShot(50, [&] {
        QWidget* batch = QApplication::activeModalWidget();
        if (!batch) {
            return;
        }
        seen = true;
        for (QLabel* label : batch->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) {
                continue;
            }
            const int needed =
                label->fontMetrics().size(Qt::TextShowMnemonic, label->text()).width();
            if (label->contentsRect().width() < needed) {
                cut << QStringLiteral("%1: %2 < %3")
                           .arg(label->text())
                           .arg(label->contentsRect().width())
                           .arg(needed);
            }
        }
        batch->close();
    });
    form.findChild<QAction*>("mBatch")->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(cut.isEmpty()) << cut.join("; ").toStdString();
}
