#pragma once

#include <QDockWidget>
#include <cstdint>
#include <vector>

#include "app/PaletteUse.h"
#include "engine/PALETTE16.h"

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace zorix {

// The dockable "Palette" panel: a device bitmap's palette as swatches in palette
// order, each with its use count (hovering tells its index and code, clicking
// highlights its pixels); for other images how many colours they hold.
class PalettePanel : public QDockWidget {
    Q_OBJECT
  public:
    explicit PalettePanel(QWidget* parent = nullptr);

    void ShowPalette(const std::vector<quenda::PALETTE16>& palette,
                     const std::vector<uint64_t>& counts);
    void ShowCounts(const ColorCounts& counts);
    void ShowNothing();

    QLabel* summary() const { return summary_; }
    QListWidget* swatches() const { return swatches_; }

  signals:
    // A swatch was clicked: its entry, or -1 when clicking it again ended the highlight.
    void entryClicked(int index);

  private:
    void SwatchClicked(QListWidgetItem* item);

    QLabel* summary_;
    QListWidget* swatches_;
    int highlighted_ = -1;
};

}  // namespace zorix
