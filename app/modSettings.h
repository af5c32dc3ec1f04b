#pragma once

#include <QString>
#include <cstdint>

namespace quenda {
class ZorixImgEngine;
}

// The program's settings store and the two palette options handed to every engine.
namespace zorix {

// Who the settings store belongs to; the application object carries the same names.
inline constexpr char kSettingsOrganization[] = "vk-Dev";
inline constexpr char kSettingsApplication[] = "Zorix";

// Program-wide palette options, copied into each engine object before use.
extern float ColorAccuracy;     // 90..100, default 100
extern int32_t MaxPaletteSize;  // 0..9999, 0 = no limit, default 0
// How colours are reduced to those two (stored as "Reduction", "classic" or "best",
// default "classic"), and whether the best-quality reduction dithers (stored as
// "Dither", "0" or "1", default "0").
extern bool BestReduction;
extern bool ReductionDither;

// Reads a text value of the program key. A name with backslashes addresses a
// sub-key ("Sub\Key\Value"). A missing or empty value with a non-empty default
// stores that default and returns it.
QString ReadSetting(const QString& name, const QString& defaultValue = QString(),
                    bool machineWide = false);
// Stores a text value under the program key (sub-keys as for ReadSetting).
void WriteSetting(const QString& name, const QString& value, bool machineWide = false);

// Loads ColorAccuracy and MaxPaletteSize from the store, falling back to 100 and 0
// for text that is not numeric or out of range; and the reduction and dithering,
// falling back to classic and off for any other text.
void LoadEngineOptions();
void SaveEngineOptions();
// Copies the palette options into an engine before it encodes.
void HandEngineOptions(quenda::ZorixImgEngine& engine);

// VB-style numeric test: blanks around a decimal number (sign, fraction and
// exponent allowed); infinities and NaN are not numbers.
bool IsNumeric(const QString& text);
// The number of a numeric text; 0 for any other text.
double NumericValue(const QString& text);
// Rounds halves to the even neighbour.
double RoundHalfEven(double value);
// The shortest text that reads back as the same 32-bit float ("100", "97.5").
QString FloatText(float value);
// A number with up to 15 significant digits, as stored settings and the lists show it.
QString NumberText(double value);

}  // namespace zorix
