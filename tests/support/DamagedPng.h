#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

// The faults a test can put into a small PNG made by the library's own writer.
enum class PngDamage {
    None,
    CutInIdat,    // the file ends two bytes into the IDAT data
    FlippedIdat,  // one IDAT byte changed, so its CRC no longer matches
    ZeroWidth,    // IHDR width 0
    Interlace2,   // IHDR interlace method 2
    HugeSize,     // IHDR 0x7FFFFFFF x 0x7FFFFFFF
};

// A 3x2 PNG with the damage; IHDR changes zero its stored CRC, which is not checked.
std::vector<uint8_t> DamagedPng(PngDamage damage);

// Offset of the data of the first chunk of `type` ("IDAT"); 0 when there is none.
size_t ChunkData(const std::vector<uint8_t>& png, const char* type);

}  // namespace testsupport
