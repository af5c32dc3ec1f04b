#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Failure.h"

namespace quenda {

class c32bppDIB;
class ZorixImgEngineEvents;

// How colours are reduced to a palette limit or a colour accuracy below 100.
enum class RLEReduction : int32_t {
    Classic = 0,  // frequent colours absorb similar rare ones (the stored files' bytes)
    Best = 1,     // a colour quantizer that minimises the visible error
};

struct RLEEncodeOptions {
    RLEReduction reduction = RLEReduction::Classic;
    bool dither = false;  // with Best: error diffusion over the reduced palette
};

// Outcome of encoding one image as a device bitmap.
struct RLEEncodeResult {
    bool success = false;
    bool paletteOverflow = false;  // the palette needed 65536 entries or more
    std::vector<uint8_t> bytes;    // the whole file; empty unless success
    Failure failure;               // none on success
    int32_t colorCount = 0;        // colour entries of the written file (N - 1)
    bool rowsReduced = false;      // some rows' colours were replaced to fit the format
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
// As above, with the choice of reduction. Rows that hold more colours than the
// format can address, and palettes that would need more entries than a file can
// count, are reduced whatever the options, so that every picture the format can
// size converts; images that fit are coded exactly as without options.
RLEEncodeResult EncodeRLE(const std::string& fileName, const c32bppDIB& image, float accuracy,
                          int32_t maxPalette, const RLEEncodeOptions& options,
                          ZorixImgEngineEvents& events);

}  // namespace quenda
