#include "imageformats/RleBitmapHandler.h"

#include <QFileDevice>
#include <QImage>
#include <QVariant>

#include <algorithm>
#include <span>

#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"
#include "engine/RLEFormat.h"
#include "engine/ZorixImgEngine.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imageformats/RleBitmapPixels.h"
#include "imaging/c32bppDIB.h"

namespace {

// The engine raises progress events while it works; a host program has no use for them.
class NoEvents : public quenda::ZorixImgEngineEvents {};

QByteArray PeekHeader(QIODevice* device) {
    if (!device || !device->isReadable()) {
        return {};
    }
    return device->peek(static_cast<qint64>(quenda::rle::kHeaderSize));
}

std::string DeviceName(QIODevice* device) {
    if (const auto* file = qobject_cast<QFileDevice*>(device)) {
        return file->fileName().toStdString();
    }
    return {};
}

// Within the engine's limits: a quality outside them is brought to the nearest one (no
// quality is full accuracy), and a palette limit outside them means no limit.
float AccuracyFromQuality(int quality) {
    return quality < 0 ? quenda::kMaxColorAccuracy
                       : std::clamp(static_cast<float>(quality), quenda::kMinColorAccuracy,
                                    quenda::kMaxColorAccuracy);
}

int PaletteLimit(qlonglong value) {
    return value < 0 || value > quenda::kMaxPaletteLimit ? 0 : static_cast<int>(value);
}

}  // namespace

bool RleBitmapHandler::CanRead(QIODevice* device) {
    const QByteArray header = PeekHeader(device);
    return quenda::rle::HasSignature(reinterpret_cast<const uint8_t*>(header.constData()),
                                     static_cast<size_t>(header.size()));
}

bool RleBitmapHandler::canRead() const {
    if (!CanRead(device())) {
        return false;
    }
    setFormat(kFormat);
    return true;
}

bool RleBitmapHandler::read(QImage* image) {
    if (!CanRead(device())) {
        return false;
    }
    const QByteArray bytes = device()->readAll();
    quenda::c32bppDIB dib;
    NoEvents events;
    const auto decoded =
        quenda::DecodeRLEBytes(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                         static_cast<size_t>(bytes.size())),
                               DeviceName(device()), dib, events);
    if (!decoded.success) {
        return false;
    }
    QImage out = ToQImage(dib);
    if (out.isNull()) {
        return false;
    }
    *image = std::move(out);
    return true;
}

bool RleBitmapHandler::write(const QImage& image) {
    quenda::c32bppDIB dib;
    if (image.isNull() || !FromQImage(image, dib)) {
        return false;
    }
    NoEvents events;
    const auto encoded = quenda::EncodeRLE(DeviceName(device()), dib, AccuracyFromQuality(quality_),
                                           maxPaletteSize_, encodeOptions_, events);
    if (!encoded.success) {
        return false;
    }
    const auto size = static_cast<qint64>(encoded.bytes.size());
    return device()->write(reinterpret_cast<const char*>(encoded.bytes.data()), size) == size;
}

bool RleBitmapHandler::supportsOption(ImageOption option) const {
    return option == Size || option == Quality || option == Description || option == ImageFormat;
}

QVariant RleBitmapHandler::option(ImageOption option) const {
    if (option == Quality) {
        return quality_;
    }
    if (option != Size && option != ImageFormat) {
        return {};
    }
    const QByteArray header = PeekHeader(device());
    const auto* data = reinterpret_cast<const uint8_t*>(header.constData());
    if (!quenda::rle::HasSignature(data, static_cast<size_t>(header.size()))) {
        return {};
    }
    const quenda::rle::Header h = quenda::rle::ReadHeader(data);
    if (option == Size) {
        return QSize(h.width, h.height);
    }
    return h.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

void RleBitmapHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == Quality) {
        quality_ = value.toInt();
    } else if (option == Description) {
        ReadDescription(value.toString());
    }
}

void RleBitmapHandler::ReadDescription(const QString& description) {
    // QImageWriter hands its texts over as "key: value" pairs separated by blank lines.
    for (const QString& pair : description.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = pair.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            continue;
        }
        const QString key = pair.left(colon).trimmed();
        const QString text = pair.mid(colon + 1).trimmed();
        if (key == QLatin1String("MaxPaletteSize")) {
            bool ok = false;
            const qlonglong value = text.toLongLong(&ok);
            maxPaletteSize_ = ok ? PaletteLimit(value) : 0;
        } else if (key == QLatin1String("Reduction")) {
            encodeOptions_.reduction = text.compare(QLatin1String("best"), Qt::CaseInsensitive) == 0
                                           ? quenda::RLEReduction::Best
                                           : quenda::RLEReduction::Classic;
        } else if (key == QLatin1String("Dither")) {
            encodeOptions_.dither = text == QLatin1String("1");
        }
    }
}
