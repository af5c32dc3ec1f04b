#include "cli/Json.h"

#include <cstdint>
#include <cstdio>

#include "cli/TextEscape.h"

namespace zorixcli {

namespace {

std::string UnicodeEscape(uint32_t codePoint) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(codePoint));
    return escaped;
}

// The escape of a one-byte character, or empty when it goes out as it is.
std::string AsciiEscape(uint8_t c) {
    switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return c < 0x20 || c == 0x7F ? UnicodeEscape(c) : std::string();
    }
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += "\\ufffd";  // every undecodable byte becomes one replacement character
            ++i;
            continue;
        }
        if (length == 1) {
            const std::string escaped = AsciiEscape(static_cast<uint8_t>(text[i]));
            out += escaped.empty() ? std::string(1, text[i]) : escaped;
        } else if (IsControlSequence(text, i, length)) {
            out += UnicodeEscape(static_cast<uint8_t>(text[i + 1]));  // C1: U+0080..U+009F
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out + "\"";
}

}  // namespace zorixcli
