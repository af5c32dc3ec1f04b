#include "imaging/Failure.h"

#include <utility>

namespace quenda {

const char* FailureKindName(FailureKind kind) {
    switch (kind) {
        case FailureKind::None:
            return "";
        case FailureKind::Truncated:
            return "truncated";
        case FailureKind::Malformed:
            return "malformed";
        case FailureKind::ChecksumMismatch:
            return "checksum-mismatch";
        case FailureKind::Unsupported:
            return "unsupported";
        case FailureKind::TooLarge:
            return "too-large";
        case FailureKind::NotAnImage:
            return "not-an-image";
        case FailureKind::NoImage:
            return "no-image";
        case FailureKind::CannotRead:
            return "cannot-read";
        case FailureKind::CannotWrite:
            return "cannot-write";
        case FailureKind::NotARegularFile:
            return "not-a-regular-file";
        case FailureKind::Conflict:
            return "conflict";
        case FailureKind::PaletteOverflow:
            return "palette-overflow";
        case FailureKind::OutOfMemory:
            return "out-of-memory";
    }
    return "";
}

Failure Failure::Of(FailureKind kind, std::string where, std::string detail) {
    return Failure{kind, std::move(where), 0, std::move(detail)};
}

Failure Failure::At(FailureKind kind, size_t offset, std::string where) {
    return Failure{kind, std::move(where), offset, {}};
}

namespace {

// "malformed BMP header", "unsupported PNG interlace method"; the bare words without a part.
std::string Naming(const char* words, const std::string& where) {
    return where.empty() ? std::string(words) + " data" : std::string(words) + " " + where;
}

}  // namespace

std::string Failure::Text() const {
    if (!detail.empty()) {
        return detail;
    }
    switch (kind) {
        case FailureKind::None:
            return {};
        case FailureKind::Truncated:
            return "truncated data at byte " + std::to_string(offset);
        case FailureKind::Malformed:
            return Naming("malformed", where);
        case FailureKind::ChecksumMismatch:
            return "CRC mismatch in " + where;
        case FailureKind::Unsupported:
            return Naming("unsupported", where);
        case FailureKind::TooLarge:
            return "image size above the limit";
        case FailureKind::NotAnImage:
            return "not a supported image";
        case FailureKind::NoImage:
            return "no image is loaded";
        case FailureKind::CannotRead:
            return "the file cannot be read";
        case FailureKind::CannotWrite:
            return "the image could not be written";
        case FailureKind::NotARegularFile:
            return "not a regular file";
        case FailureKind::Conflict:
            return "same target as " + where;
        case FailureKind::PaletteOverflow:
            return "the image has more colours than a device bitmap can hold";
        case FailureKind::OutOfMemory:
            return "not enough memory";
    }
    return {};
}

}  // namespace quenda
