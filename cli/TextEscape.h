#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorixcli {

// Length of the well-formed UTF-8 sequence that starts at text[i], or 0 when the byte
// there cannot be decoded (a stray continuation byte, an overlong or truncated form, a
// surrogate, a value above U+10FFFF).
size_t Utf8SequenceLength(std::string_view text, size_t i);

// True for the code point of a well-formed sequence that is a control character: C0,
// DEL or C1.
bool IsControlSequence(std::string_view text, size_t i, size_t length);

// `text` made safe for one line of human output: control characters and undecodable
// bytes become \n, \r, \t or \xHH, and a backslash becomes "\\", so a file name can
// neither break a line nor pass for an escape.
std::string EscapeText(std::string_view text);

}  // namespace zorixcli
