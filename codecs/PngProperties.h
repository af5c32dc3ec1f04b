#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quenda {

// Identifiers of the properties a PNG writer keeps (bit values).
enum PngPropertyId : int32_t {
    PNG_TITLE = 1,
    PNG_AUTHOR = 2,
    PNG_DESCRIPTION = 4,
    PNG_COPYRIGHT = 8,
    PNG_CREATION_TIME = 16,
    PNG_SOFTWARE = 32,
    PNG_DISCLAIMER = 64,
    PNG_WARNING = 128,
    PNG_SOURCE = 256,
    PNG_COMMENT = 512,
    PNG_CUSTOM = 1024,
    PNG_MODIFIED_TIME = 2048,
    PNG_BACKGROUND = 4096,
    PNG_FILTER = 8192,
    PNG_CLEAR_ALL = -1,
};

// Filter choices for PNG_FILTER.
enum PngFilterChoice : int32_t {
    PNG_FILTER_DEFAULT = 0,
    PNG_FILTER_NONE = 1,
    PNG_FILTER_SUB = 2,
    PNG_FILTER_UP = 3,
    PNG_FILTER_AVERAGE = 4,
    PNG_FILTER_PAETH = 5,
    PNG_FILTER_ADAPTIVE = 6,
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
