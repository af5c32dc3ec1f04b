#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Failure.h"

namespace quenda {

class c32bppDIB;
class ZorixImgEngineEvents;

// Outcome of encoding one image as a device bitmap.
struct RLEEncodeResult {
    bool success = false;
    bool paletteOverflow = false;  // the palette needed 65536 entries or more
    std::vector<uint8_t> bytes;    // the whole file; empty unless success
    Failure failure;               // none on success
};

// Said when a row holds more colours than one window of codes can address.
inline constexpr const char* kTooManyRowColorsReason =
    "a row has more than 251 colours; lower the accuracy or set a palette limit of 250 or less";

// Reduces the image to a 16-bit palette (merging similar colours down to `accuracy`
// percent and to at most `maxPalette` entries when it is above 0) and codes it as a
// device bitmap in memory. Raises RLEEncodingStarted, the RLEEncoding phase events
// and RLEEncodingComplete on `events`, with `fileName` as their first argument.
// Never throws.
RLEEncodeResult EncodeRLE(const std::string& fileName, const c32bppDIB& image, float accuracy,
                          int32_t maxPalette, ZorixImgEngineEvents& events);

}  // namespace quenda
