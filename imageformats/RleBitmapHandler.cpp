#include "imageformats/RleBitmapHandler.h"

#include <QFileDevice>
#include <QImage>
#include <QLoggingCategory>
#include <QVariant>

#include <algorithm>
#include <span>
#include <vector>

#include "engine/RLEEncoder.h"
#include "engine/RLEFile.h"
#include "engine/RLEFormat.h"
#include "engine/RLEScaledDecoder.h"
#include "engine/ZorixImgEngine.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imageformats/RleBitmapPixels.h"
#include "imaging/c32bppDIB.h"

namespace {

// Silent unless asked for (QT_LOGGING_RULES="zorix.imageformats.rle.info=true"): a host
// sees only that a read or write failed, and this says why.
Q_LOGGING_CATEGORY(lcRle, "zorix.imageformats.rle", QtWarningMsg)

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

// Appends bytes from the device until `bytes` holds `size` of them; false when the
// device ends first. A sequential device (a pipe, a socket) is waited for briefly.
bool ReadTo(QIODevice* device, std::vector<uint8_t>& bytes, size_t size) {
    constexpr int kWaitMs = 30000;
    size_t have = bytes.size();
    bytes.resize(size);
    while (have < size) {
        const qint64 got = device->read(reinterpret_cast<char*>(bytes.data() + have),
                                        static_cast<qint64>(size - have));
        if (got > 0) {
            have += static_cast<size_t>(got);
        } else if (got < 0 || !device->isSequential() || !device->waitForReadyRead(kWaitMs)) {
            bytes.resize(have);
            return false;
        }
    }
    return true;
}

// The sections before the row data, in as few reads as the parser allows.
quenda::rle::ParseError ReadPrologue(QIODevice* device, quenda::rle::ParsedFile& prologue) {
    std::vector<uint8_t> prefix;
    size_t needed = quenda::rle::kHeaderSize;
    for (;;) {
        const bool more = ReadTo(device, prefix, needed);
        const auto error = quenda::rle::ParsePrologue(prefix, prologue, needed);
        if (error != quenda::rle::ParseError::Truncated || !more) {
            return error;
        }
    }
}

// The image the picture decodes into, within Qt's allocation limit.
bool MakeImage(QSize size, QImage::Format format, QImage* image) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QImageIOHandler::allocateImage(size, format, image);
#else
    *image = QImage(size, format);
    return !image->isNull();
#endif
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
    failure_ = {};
    if (!CanRead(device())) {
        return Fail(quenda::Failure::Of(quenda::FailureKind::NotAnImage, "RLE"));
    }
    quenda::rle::ParsedFile prologue;
    const quenda::rle::ParseError parsed = ReadPrologue(device(), prologue);
    if (parsed != quenda::rle::ParseError::None) {
        return Fail(quenda::rle::FailureOf(parsed));
    }
    const quenda::rle::Header& h = prologue.header;
    QSize size(h.width, h.height < 0 ? -h.height : h.height);
    if (size.isEmpty()) {
        return Fail(quenda::Failure::Of(quenda::FailureKind::Malformed, "RLE",
                                        "the image size is invalid"));
    }
    if (scaledSize_.isValid() && !scaledSize_.isEmpty()) {
        size = scaledSize_;
    }
    // Pictures without alpha are opaque images, as Qt keeps its own opaque formats.
    QImage out;
    if (!MakeImage(size, h.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32, &out)) {
        return Fail(quenda::Failure::Of(quenda::FailureKind::TooLarge, "Qt image"));
    }
    std::vector<uint8_t> row;
    QIODevice* in = device();
    const quenda::RLERowSource rows = [&](int32_t y, std::span<const uint8_t>& bytes) {
        row.clear();
        const bool whole = ReadTo(in, row, prologue.rowLengths[static_cast<size_t>(y)]);
        bytes = row;
        return whole;
    };
    const quenda::RLETarget target{
        out.bits(),   static_cast<ptrdiff_t>(out.bytesPerLine()), out.width(),
        out.height(), quenda::RLEPixelOrder::StraightBGRA,        !h.hasAlpha};
    const quenda::RLEScaledResult decoded = quenda::DecodeRLERows(prologue, rows, target);
    if (!decoded.success) {
        return Fail(decoded.failure);
    }
    *image = std::move(out);
    return true;
}

bool RleBitmapHandler::write(const QImage& image) {
    failure_ = {};
    quenda::c32bppDIB dib;
    if (image.isNull() || !FromQImage(image, dib)) {
        return Fail(quenda::Failure::Of(image.isNull() ? quenda::FailureKind::NoImage
                                                       : quenda::FailureKind::TooLarge));
    }
    NoEvents events;
    const auto encoded = quenda::EncodeRLE(DeviceName(device()), dib, AccuracyFromQuality(quality_),
                                           maxPaletteSize_, encodeOptions_, events);
    if (!encoded.success) {
        return Fail(encoded.failure);
    }
    const auto size = static_cast<qint64>(encoded.bytes.size());
    if (device()->write(reinterpret_cast<const char*>(encoded.bytes.data()), size) != size) {
        return Fail(quenda::Failure::Of(quenda::FailureKind::CannotWrite, "device",
                                        device()->errorString().toStdString()));
    }
    return true;
}

bool RleBitmapHandler::Fail(quenda::Failure failure) {
    failure_ = std::move(failure);
    qCInfo(lcRle) << DeviceName(device()).c_str() << quenda::FailureKindName(failure_.kind)
                  << failure_.Text().c_str();
    return false;
}

bool RleBitmapHandler::supportsOption(ImageOption option) const {
    return option == Size || option == ScaledSize || option == Quality || option == Description ||
           option == ImageFormat;
}

QVariant RleBitmapHandler::option(ImageOption option) const {
    if (option == Quality) {
        return quality_;
    }
    if (option == ScaledSize) {
        return scaledSize_;
    }
    if (option != Size && option != ImageFormat) {
        return {};
    }
    const QByteArray header = PeekHeader(device());
    quenda::RLEImageInfo info;
    if (!quenda::ReadRLEInfo(std::span(reinterpret_cast<const uint8_t*>(header.constData()),
                                       static_cast<size_t>(header.size())),
                             info)) {
        return {};
    }
    if (option == Size) {
        return QSize(info.width, info.height);
    }
    return info.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

void RleBitmapHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == Quality) {
        quality_ = value.toInt();
    } else if (option == ScaledSize) {
        scaledSize_ = value.toSize();
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
