#include "controls/RegionBuilder.h"

#include "controls/colorFuncs.h"

namespace RegionBuilder {

QRegion Build(const QImage& surface, quint32 maskColor, bool fullRect) {
    if (fullRect || surface.isNull()) {
        return QRegion(surface.rect());
    }
    const QImage image = surface.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = colorFuncs::ToQColor(maskColor).rgb() | 0xFF000000u;
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            if ((row[x] | 0xFF000000u) == mask) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && (row[x] | 0xFF000000u) != mask) {
                ++x;
            }
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

}  // namespace RegionBuilder
