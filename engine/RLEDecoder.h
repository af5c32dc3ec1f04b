#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imaging/Failure.h"

namespace quenda {

class c32bppDIB;
class ZorixImgEngineEvents;

// Outcome of decoding one device bitmap.
struct RLEDecodeResult {
    bool success = false;
    bool headerRead = false;  // colorCount is valid
    int32_t colorCount = 0;   // N - 1, the colour table's size
    Failure failure;          // none on success
};

// Decodes a device bitmap file into `image` (destroyed and re-created), raising
// RLEDecodingStarted, RLEDecoding per row, RLEDecoding(100) and RLEDecodingComplete
// on `events` with `fileName` as their first argument. Never throws.
RLEDecodeResult DecodeRLE(const std::string& fileName, c32bppDIB& image,
                          ZorixImgEngineEvents& events);

// The same for a file already in memory.
RLEDecodeResult DecodeRLEBytes(std::span<const uint8_t> file, const std::string& fileName,
                               c32bppDIB& image, ZorixImgEngineEvents& events);

}  // namespace quenda
