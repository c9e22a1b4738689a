// Numbers with a fixed count of decimals, the same whatever the locale: the record and live lines, the
// statistics texts and the analysis' figures all write them so.
#pragma once

#include <string>

namespace common {

// The number rounded to `decimals` places (0 .. 9), at least one digit before the point, "-" when the
// rounded value is below zero, no grouping, "." as the point: the patterns "###0.000", "#0.000", "0.000"
// (decimals 3) and "#0.00" (decimals 2). Ties round away from zero on the number's 15-significant-digit
// decimal form, so 0.0625 gives "0.063" and 2.0005 gives "2.001". A value that rounds to zero has no
// sign ("0.000").
void appendFixed(std::string& out, double value, int decimals);
std::string formatFixed(double value, int decimals);

} // namespace common
