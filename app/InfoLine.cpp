#include "app/InfoLine.h"

#include "engine/ZorixImgEngine.h"

namespace zorix {

QString BuildInfoLine(const ImageFacts& facts) {
    const QString alpha = facts.hasAlpha ? QStringLiteral("yes") : QStringLiteral("no");
    QString line = QStringLiteral("Size: %1x%2 | ").arg(facts.width).arg(facts.height);
    if (facts.type == quenda::IL_BMP_RL) {
        line += QStringLiteral("Color palette: %1 | ").arg(facts.rleColors);
    } else if (facts.type != quenda::IL_GIF) {
        line += QStringLiteral("Colors: %1 | ")
                    .arg(facts.hasAlpha ? QStringLiteral("32Bit") : QStringLiteral("24Bit"));
    }
    line += QStringLiteral("Alpha: ") + alpha + QStringLiteral(" | Type: ") + facts.typeDesc;
    return line;
}

}  // namespace zorix
