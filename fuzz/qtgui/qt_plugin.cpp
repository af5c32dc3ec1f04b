// Arbitrary bytes through QImageReader with the project's image plugin, linked in as a
// static plugin: the first byte chooses unscaled or scaled reading (the next two the
// size), the rest is what the reader gets. Nothing may crash or read out of bounds, a
// scaled read that succeeds has the size asked for, and no image beyond Qt's
// allocation limit is made.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QtPlugin>

#include <cstddef>
#include <cstdint>

Q_IMPORT_PLUGIN(RleBitmapPlugin)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    QImageReader::setAllocationLimit(64);
    const bool scaled = data[0] & 1;
    const QSize wanted(1 + data[1] % 128, 1 + data[2] % 128);
    QByteArray bytes(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Half the inputs name the format, half leave it to the content.
    QImageReader reader(&buffer, data[0] & 2 ? QByteArray("rlebmp") : QByteArray());
    if (scaled) {
        reader.setScaledSize(wanted);
    }
    const QImage image = reader.read();
    if (!image.isNull() && scaled && reader.format() == "rlebmp" && image.size() != wanted) {
        __builtin_trap();
    }
    return 0;
}
