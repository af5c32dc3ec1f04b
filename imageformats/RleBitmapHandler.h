#pragma once

#include <QImageIOHandler>
#include <QSize>

#include "engine/RLEEncoder.h"

// Reads device bitmaps through the engine's decoder and writes them through its
// encoder. Options: Quality is the colour accuracy (90 to 100, default 100); the
// text key "MaxPaletteSize" (QImageWriter::setText) limits the palette (0 = none);
// "Reduction" is "classic" (default) or "best", and "Dither" "1" turns on the best
// reduction's error diffusion.
class RleBitmapHandler : public QImageIOHandler {
  public:
    static constexpr const char* kFormat = "rlebmp";

    // The device holds a device bitmap (checked without consuming it).
    static bool CanRead(QIODevice* device);

    bool canRead() const override;
    bool read(QImage* image) override;
    bool write(const QImage& image) override;

    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant& value) override;

  private:
    void ReadDescription(const QString& description);

    int quality_ = -1;
    int maxPaletteSize_ = 0;
    quenda::RLEEncodeOptions encodeOptions_;
};
