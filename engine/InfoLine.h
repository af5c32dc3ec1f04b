#pragma once

#include <string>

namespace quenda {

class ZorixImgEngine;

// The explorer's description of the loaded image, e.g.
// "Size: 320x240 | Color palette: 87 | Alpha: yes | Type: RLE Bitmap".
std::string InformationLine(const ZorixImgEngine& engine);

}  // namespace quenda
