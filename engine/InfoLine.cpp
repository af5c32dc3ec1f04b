#include "engine/InfoLine.h"

#include "engine/ZorixImgEngine.h"

namespace quenda {

std::string InformationLine(const ZorixImgEngine& engine) {
    const std::string alpha = engine.ImageHasAlpha() ? "yes" : "no";
    std::string line = "Size: " + std::to_string(engine.ImageWidth()) + "x" +
                       std::to_string(engine.ImageHeight()) + " | ";
    if (engine.ImageType() == IL_BMP_RL) {
        line += "Color palette: " + std::to_string(engine.RLEColors()) + " | ";
    } else if (engine.ImageType() != IL_GIF) {
        line += std::string("Colors: ") + (engine.ImageHasAlpha() ? "32Bit" : "24Bit") + " | ";
    }
    return line + "Alpha: " + alpha + " | Type: " + engine.ImageTypeDesc();
}

}  // namespace quenda
