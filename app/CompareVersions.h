#pragma once

#include <QString>

namespace zorix {

// Compares two dotted version texts: 0 when equal, 1 when `a` is greater, 2 when `b`
// is greater. Both are cut or padded to four parts, each part is replaced by the
// text of its number ("0001" -> "1", "" -> "0"), and the joined results are compared
// as text, character by character (so "1.0.9" is greater than "1.0.10").
int CompareVersions(const QString& a, const QString& b);

// The four-part form that CompareVersions compares ("1.00.0001" -> "1.0.1.0").
QString NormalisedVersion(const QString& version);

}  // namespace zorix
