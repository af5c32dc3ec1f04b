#pragma once

#include <cstddef>
#include <string>

namespace quenda {

// What went wrong, from a closed set that every layer reports in. The lower-case name of
// each kind (FailureKindName) is stable: scripts test it, so a kind is never renamed.
enum class FailureKind {
    None,
    Truncated,         // the data ends before the format says it may
    Malformed,         // a value the format does not allow
    ChecksumMismatch,  // a stored check value does not match the data
    Unsupported,       // allowed by the format, but not something this program handles
    TooLarge,          // a size above what the program accepts
    NotAnImage,        // no reader recognises the data
    NoImage,           // nothing is loaded to act on
    CannotRead,        // the file is missing or the system refused to read it
    CannotWrite,       // the system refused to write the file
    NotARegularFile,   // a folder, device, FIFO or socket where a file belongs
    Conflict,          // two entries of one run want the same file
    PaletteOverflow,   // more colours than a device bitmap can hold
    OutOfMemory,       // an allocation failed
};

// "truncated", "not-an-image", ...; "" for None.
const char* FailureKindName(FailureKind kind);

// One failure as it travels from where it happened to whoever shows it: the kind, the
// reader or stage it came from (or the part of the data: "IHDR", "BMP header"), the byte
// offset where the data failed when known, and a text naming the particular fault.
struct Failure {
    FailureKind kind = FailureKind::None;
    std::string where;
    size_t offset = 0;
    std::string detail;

    explicit operator bool() const { return kind != FailureKind::None; }

    static Failure Of(FailureKind kind, std::string where = {}, std::string detail = {});
    static Failure At(FailureKind kind, size_t offset, std::string where = {});

    // The one-line text a person reads: the detail when there is one, otherwise the
    // kind's own text ("truncated data at byte 812", "CRC mismatch in IDAT").
    std::string Text() const;
};

}  // namespace quenda
