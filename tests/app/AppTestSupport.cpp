#include "AppTestSupport.h"

#include <QFile>

#include "support/RLEBuilder.h"

namespace apptest {

std::vector<uint8_t> MakeDeviceBitmap(int width, int height, int colors, bool hasAlpha,
                                      size_t padTo) {
    testsupport::RLEBuilder builder;
    builder.hasAlpha = hasAlpha;
    builder.width = width;
    builder.height = height;
    builder.alphas.push_back(0);
    for (int i = 1; i <= colors; ++i) {
        builder.colors.push_back(static_cast<uint16_t>(0xF800 | (i * 37 % 0x7FF)));
        builder.alphas.push_back(32);
    }
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> codes(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) {
            codes[static_cast<size_t>(x)] = static_cast<uint8_t>(1 + (x + y) % colors);
        }
        if (y == 0) {
            codes[0] = 0;
        }
        builder.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    std::vector<uint8_t> bytes = builder.Build();
    if (bytes.size() < padTo) {
        bytes.resize(padTo, 0);
    }
    return bytes;
}

void WriteBytes(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
}

}  // namespace apptest
