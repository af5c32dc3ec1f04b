#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Texts of a batch run's progress display.
namespace zorix {

// The shortest plain decimal form of a number, never with an exponent ("12.5", "100").
QString PlainNumber(float value);
// Status cell text while a device bitmap decodes: "decoding RLE (12.5%)".
QString DecodingStatus(float progress);
// Status cell text while a device bitmap encodes: the action in lower case, with
// " (NN%)" when the phase has a measurable progress.
QString EncodingStatus(const QString& action, float progress);
// Seconds still to go when file `index` (1-based) of `total` starts after `elapsed`
// seconds; nothing for the first two files, when it would be negative, or when
// the figures make no sense.
std::optional<double> RemainingSeconds(int index, int total, double elapsed);
// Seconds rounded as a duration display takes them (halves to even, clamped).
int32_t DurationSeconds(double seconds);

}  // namespace zorix
