#include "cli/TextEscape.h"

#include <cstdint>
#include <cstdio>

namespace zorixcli {

namespace {

bool IsContinuation(std::string_view text, size_t i, uint8_t low = 0x80, uint8_t high = 0xBF) {
    if (i >= text.size()) {
        return false;
    }
    const auto c = static_cast<uint8_t>(text[i]);
    return c >= low && c <= high;
}

std::string HexByte(uint8_t c) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    return escaped;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t i) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (c < 0x80) {
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        return IsContinuation(text, i + 1) ? 2 : 0;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        // E0 needs A0.. (no overlong forms), ED stops at 9F (no surrogates).
        const uint8_t low = c == 0xE0 ? 0xA0 : 0x80;
        const uint8_t high = c == 0xED ? 0x9F : 0xBF;
        return IsContinuation(text, i + 1, low, high) && IsContinuation(text, i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const uint8_t low = c == 0xF0 ? 0x90 : 0x80;
        const uint8_t high = c == 0xF4 ? 0x8F : 0xBF;
        return IsContinuation(text, i + 1, low, high) && IsContinuation(text, i + 2) &&
                       IsContinuation(text, i + 3)
                   ? 4
                   : 0;
    }
    return 0;
}

bool IsControlSequence(std::string_view text, size_t i, size_t length) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (length == 1) {
        return c < 0x20 || c == 0x7F;
    }
    return length == 2 && c == 0xC2 && static_cast<uint8_t>(text[i + 1]) <= 0x9F;
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8SequenceLength(text, i);
        const auto c = static_cast<uint8_t>(text[i]);
        if (length == 0) {
            out += HexByte(c);
            ++i;
            continue;
        }
        if (!IsControlSequence(text, i, length) && c != '\\') {
            out.append(text.substr(i, length));
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            for (size_t k = 0; k < length; ++k) {
                out += HexByte(static_cast<uint8_t>(text[i + k]));
            }
        }
        i += length;
    }
    return out;
}

}  // namespace zorixcli
