#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quenda {

// Identifiers of the properties a PNG writer keeps (bit values).
enum PngPropertyId : int32_t {
    PNGP_TITLE = 1,
    PNGP_AUTHOR = 2,
    PNGP_DESCRIPTION = 4,
    PNGP_COPYRIGHT = 8,
    PNGP_CREATION_TIME = 16,
    PNGP_SOFTWARE = 32,
    PNGP_DISCLAIMER = 64,
    PNGP_WARNING = 128,
    PNGP_SOURCE = 256,
    PNGP_COMMENT = 512,
    PNGP_CUSTOM = 1024,
    PNGP_MODIFIED_TIME = 2048,
    PNGP_BACKGROUND = 4096,
    PNGP_FILTER = 8192,
    PNGP_CLEAR_ALL = -1,
};

// Filter choices for PNGP_FILTER.
enum PngFilterChoice : int32_t {
    PNGP_FILTER_DEFAULT = 0,
    PNGP_FILTER_NONE = 1,
    PNGP_FILTER_SUB = 2,
    PNGP_FILTER_UP = 3,
    PNGP_FILTER_AVERAGE = 4,
    PNGP_FILTER_PAETH = 5,
    PNGP_FILTER_ADAPTIVE = 6,
};

// A calendar date and time as the caller gives it; no time zone is applied.
// The default is the zero date, 30 December 1899.
struct PngDate {
    int32_t year = 1899;
    int32_t month = 12;
    int32_t day = 30;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    bool operator==(const PngDate&) const = default;
    bool IsValid() const;
};

// A property value: nothing (Null/Empty), a UTF-8 text, a number or a date.
using PngValue = std::variant<std::monostate, std::string, int64_t, PngDate>;

}  // namespace quenda
