#pragma once

#include <cstdint>
#include <string>

namespace quenda {
class c32bppDIB;
}

namespace zorixthumb {

enum class RleThumbnailStatus {
    NotRle,  // the file is no device bitmap (or cannot be opened): try other readers
    Failed,  // a device bitmap that does not decode; `reason` says why
    Done,
};

// The thumbnail of the device bitmap at `path` that fits a `box` x `box` square,
// opaque over `background` (0x00BBGGRR). The file is read a row at a time and decoded
// straight to the thumbnail's size, so memory stays bounded by that size, whatever
// the picture's.
RleThumbnailStatus MakeRleThumbnail(const std::string& path, int32_t box, uint32_t background,
                                    quenda::c32bppDIB& thumbnail, std::string& reason);

}  // namespace zorixthumb
