#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace quenda {

// Why a reader that recognised its format could not decode it, carried from the reader
// through the loading dispatch to the engine's failure reason.
struct LoadFailure {
    enum class Kind {
        None,
        Truncated,         // the data ends at `offset` before the format says it may
        ChecksumMismatch,  // a stored check value does not match (`part` names the chunk)
        PaletteIndex,      // a pixel names an entry beyond the palette
        TooLarge,          // the image's size is above the reader's limit
        Malformed,         // a header field has a value the format does not allow
    };

    Kind kind = Kind::None;
    size_t offset = 0;
    std::string part;

    explicit operator bool() const { return kind != Kind::None; }

    static LoadFailure At(Kind kind, size_t offset, std::string part = {}) {
        return LoadFailure{kind, offset, std::move(part)};
    }

    // A short text for a person: "CRC mismatch in IDAT", "truncated data at byte 812".
    std::string Describe() const {
        switch (kind) {
            case Kind::None:
                return {};
            case Kind::Truncated:
                return "truncated data at byte " + std::to_string(offset);
            case Kind::ChecksumMismatch:
                return "CRC mismatch in " + part;
            case Kind::PaletteIndex:
                return "palette index beyond the palette at byte " + std::to_string(offset);
            case Kind::TooLarge:
                return "image size above the limit";
            case Kind::Malformed:
                return part.empty() ? "malformed data" : "malformed " + part;
        }
        return {};
    }
};

}  // namespace quenda
