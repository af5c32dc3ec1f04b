#include "app/DevicePreview.h"

#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "app/PreviewImage.h"
#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/ColorCompose.h"
#include "imaging/c32bppDIB.h"

namespace zorix {

namespace {

// The decoded image composed over the background, as the engine composes its picture.
QImage Composed(const quenda::c32bppDIB& image, int32_t background) {
    std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[image.ByteCount()]);
    if (!bits || !quenda::ComposeOverColor(image, bits.get(), background)) {
        return QImage();
    }
    return OpaqueRowsToImage(bits.get(), image.Width(), image.Height());
}

}  // namespace

DevicePreview MakeDevicePreview(const quenda::c32bppDIB& image, float accuracy, int32_t maxPalette,
                                int32_t background, const QImage& original,
                                const quenda::RLEEncodeOptions& options) {
    DevicePreview preview;
    // The preview raises no progress: it is not a save the user waits for.
    quenda::ZorixImgEngineEvents quiet;
    const quenda::RLEEncodeResult encoded =
        quenda::EncodeRLE(std::string(), image, accuracy, maxPalette, options, quiet);
    if (!encoded.success) {
        preview.failureReason = encoded.failure.Text();
        return preview;
    }
    quenda::c32bppDIB decoded;
    const quenda::RLEDecodeResult back =
        quenda::DecodeRLEBytes(encoded.bytes, std::string(), decoded, quiet);
    quenda::RLEIndexMapResult map = quenda::ReadRLEIndexMap(encoded.bytes);
    if (!back.success || !map.success) {
        preview.failureReason = back.success ? map.failure.Text() : back.failure.Text();
        return preview;
    }
    preview.picture = Composed(decoded, background);
    if (preview.picture.isNull()) {
        preview.failureReason = "not enough memory for the preview";
        return preview;
    }
    preview.map = std::move(map.map);
    preview.paletteSize = back.colorCount;
    preview.psnr = PicturePsnr(original, preview.picture);
    preview.success = true;
    return preview;
}

double PicturePsnr(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) {
        return 0;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int dr = qRed(p[col]) - qRed(q[col]);
            const int dg = qGreen(p[col]) - qGreen(q[col]);
            const int db = qBlue(p[col]) - qBlue(q[col]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    if (sum == 0) {
        return std::numeric_limits<double>::infinity();
    }
    const double mse = sum / (3.0 * x.width() * x.height());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

QString DevicePreviewText(const DevicePreview& preview) {
    if (!preview.success) {
        return QStringLiteral("Device preview: ") + QString::fromStdString(preview.failureReason);
    }
    const QString error = std::isinf(preview.psnr)
                              ? QStringLiteral("no loss")
                              : QStringLiteral("PSNR %1 dB").arg(preview.psnr, 0, 'f', 1);
    return QStringLiteral("Device preview: %1 colours | ").arg(preview.paletteSize) + error;
}

}  // namespace zorix
