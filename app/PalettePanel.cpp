#include "app/PalettePanel.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

#include "app/PixelInspector.h"
#include "engine/modColor.h"

namespace zorix {

namespace {

constexpr int kSwatchSize = 24;
constexpr int kIndexRole = Qt::UserRole;

// A swatch: the entry's colour over a checkerboard, so partial opacity shows; the
// transparent entry 0 is the bare checkerboard crossed out.
QIcon SwatchIcon(const quenda::PALETTE16& entry, bool transparentEntry) {
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(Qt::white);
    QPainter painter(&swatch);
    const int cell = kSwatchSize / 4;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            if ((x + y) % 2) {
                painter.fillRect(x * cell, y * cell, cell, cell, QColor(0xC0, 0xC0, 0xC0));
            }
        }
    }
    if (transparentEntry) {
        painter.setPen(QPen(QColor(0xC0, 0x10, 0x10), 2));
        painter.drawLine(2, 2, kSwatchSize - 3, kSwatchSize - 3);
    } else {
        const uint32_t rgb = quenda::RGB565ToRGB(static_cast<uint16_t>(entry.pColor));
        QColor color(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF,
                     quenda::Alpha33To255(entry.pAlpha));
        painter.fillRect(swatch.rect(), color);
    }
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    return QIcon(swatch);
}

QString SwatchTip(int index, const quenda::PALETTE16& entry, uint64_t count) {
    const auto code = static_cast<uint16_t>(entry.pColor);
    QString tip = QStringLiteral("Index %1").arg(index);
    if (index == 0) {
        tip += QStringLiteral(" (transparent)");
    }
    return tip + QStringLiteral("\nRGB565 0x") +
           QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper() +
           QStringLiteral("\nAlpha %1/%2\nColour ").arg(entry.pAlpha).arg(quenda::kMaxAlpha33) +
           HexColor(quenda::RGB565ToRGB(code)) + QStringLiteral("\nPixels: %1").arg(count);
}

}  // namespace

PalettePanel::PalettePanel(QWidget* parent) : QDockWidget(QStringLiteral("Palette"), parent) {
    setObjectName(QStringLiteral("PalettePanel"));
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    summary_ = new QLabel(content);
    summary_->setObjectName(QStringLiteral("paletteSummary"));
    summary_->setWordWrap(true);
    swatches_ = new QListWidget(content);
    swatches_->setObjectName(QStringLiteral("swatches"));
    swatches_->setViewMode(QListView::IconMode);
    swatches_->setIconSize(QSize(kSwatchSize, kSwatchSize));
    swatches_->setResizeMode(QListView::Adjust);
    swatches_->setMovement(QListView::Static);
    swatches_->setUniformItemSizes(true);
    swatches_->setGridSize(QSize(kSwatchSize + 36, kSwatchSize + 22));
    layout->addWidget(summary_);
    layout->addWidget(swatches_, 1);
    setWidget(content);
    connect(swatches_, &QListWidget::itemClicked, this, &PalettePanel::SwatchClicked);
    connect(swatches_, &QListWidget::itemActivated, this, &PalettePanel::SwatchClicked);
    ShowNothing();
}

void PalettePanel::ShowPalette(const std::vector<quenda::PALETTE16>& palette,
                               const std::vector<uint64_t>& counts) {
    highlighted_ = -1;
    swatches_->clear();
    for (size_t i = 0; i < palette.size(); ++i) {
        const uint64_t count = i < counts.size() ? counts[i] : 0;
        auto* item = new QListWidgetItem(SwatchIcon(palette[i], i == 0), QString::number(count));
        item->setData(kIndexRole, static_cast<int>(i));
        item->setToolTip(SwatchTip(static_cast<int>(i), palette[i], count));
        swatches_->addItem(item);
    }
    summary_->setText(
        QStringLiteral("%1 palette entries, entry 0 transparent").arg(palette.size()));
    swatches_->show();
}

void PalettePanel::ShowCounts(const ColorCounts& counts) {
    highlighted_ = -1;
    swatches_->clear();
    swatches_->hide();
    summary_->setText(QStringLiteral("Distinct colours: %1\nDistinct RGB565 colours: %2")
                          .arg(counts.distinct)
                          .arg(counts.distinct565));
}

void PalettePanel::ShowNothing() {
    highlighted_ = -1;
    swatches_->clear();
    swatches_->hide();
    summary_->setText(QStringLiteral("No picture"));
}

void PalettePanel::SwatchClicked(QListWidgetItem* item) {
    const int index = item->data(kIndexRole).toInt();
    highlighted_ = highlighted_ == index ? -1 : index;
    emit entryClicked(highlighted_);
}

}  // namespace zorix
