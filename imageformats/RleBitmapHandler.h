#pragma once

#include <QImageIOHandler>
#include <QSize>

#include "engine/RLEEncoder.h"
#include "imaging/Failure.h"

// Reads device bitmaps through the engine's decoder, a row at a time from the device
// straight into the image's own lines, at the picture's size or the ScaledSize asked
// for (a box filter, so memory follows the size asked for), within Qt's allocation
// limit; writes them through its encoder. Options: Quality is the colour accuracy (90 to 100,
// default 100); the text key "MaxPaletteSize" (QImageWriter::setText) limits the palette (0 =
// none); "Reduction" is "classic" (default) or "best", and "Dither" "1" turns on the best
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

    // Why the last read or write failed (a host sees only false); none after a success.
    const quenda::Failure& LastFailure() const { return failure_; }

  private:
    void ReadDescription(const QString& description);
    // Keeps and logs the failure; always false.
    bool Fail(quenda::Failure failure);

    QSize scaledSize_;
    int quality_ = -1;
    int maxPaletteSize_ = 0;
    quenda::Failure failure_;
    quenda::RLEEncodeOptions encodeOptions_;
};
