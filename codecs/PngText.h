#pragma once

#include <string>

// Texts of PNG text chunks: cleaning rules and the conversions between the
// library's UTF-8 strings and the chunks' 8-bit (Latin-1) characters.
namespace quenda::pngtext {

std::u32string FromUtf8(const std::string& text);
std::string ToUtf8(const std::u32string& text);
// Characters above 255 become '?'.
std::string ToLatin1(const std::u32string& text);

// Cut to 32,700 characters, CR LF and lone CR made LF; empty when any other control
// character than tab and LF remains.
std::u32string CleanText(std::u32string text);
// Cut to 79 characters, no-break spaces made spaces, outer spaces removed, inner runs
// of spaces made one; empty when a character outside 32-126 and 161-255 remains.
std::u32string CleanKeyword(std::u32string keyword);
// Case-insensitive comparison of ASCII letters.
bool EqualsIgnoringCase(const std::u32string& a, const std::u32string& b);

}  // namespace quenda::pngtext
