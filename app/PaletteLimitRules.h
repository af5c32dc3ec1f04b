#pragma once

#include <QString>
#include <cstdint>

// The rules of the palette-limit text box of the Options dialog, apart from the window.
namespace zorix {

// The design text of the box and what a negative number becomes.
inline constexpr char kDesignPaletteText[] = "250";

// Only the digits 0 to 9 are accepted as typed characters; keys without a printable
// character (backspace, cursor keys, shortcuts) pass.
bool IsAcceptedPaletteKey(const QString& typed);
// The text with every character dropped that could not have been typed.
QString PaletteDigitsOnly(const QString& text);
// What the box holds after losing the focus: text that is not a number becomes
// `current` in decimal, a negative number becomes "250", anything else stays.
QString CorrectedPaletteText(const QString& text, int32_t current);
// The limit stored by OK: the box's number rounded half to even when the limit is
// imposed, else 0. Numbers beyond the 32-bit range are held at its end.
int32_t PaletteLimitOf(const QString& text, bool imposed);

}  // namespace zorix
