// Locale-independent number texts for the live line, the record line and the statistics texts. Every
// function appends to a caller's string so the per-reading path can reuse one buffer.
#pragma once

#include <string>
#include <string_view>

namespace acquisition {

// The number rounded to `decimals` places (0 .. 9), at least one digit before the point, "-" when the
// rounded value is below zero, no grouping, "." as the point: the patterns "###0.000", "#0.000", "0.000"
// (decimals 3) and "#0.00" (decimals 2). Ties round away from zero on the number's 15-significant-digit
// decimal form, so 0.0625 gives "0.063" and 2.0005 gives "2.001". A value that rounds to zero has no
// sign ("0.000").
void appendFixed(std::string& out, double value, int decimals);
std::string formatFixed(double value, int decimals);

// text right-aligned in a field of `width` characters, padded with blanks on the left; a longer text is
// written unchanged. The patterns "@@@" (width 3) and "@@@@@@@@" (width 8).
void appendRightAligned(std::string& out, std::string_view text, std::size_t width);

// Upper-case hexadecimal without leading zeros: 5 -> "5", 126 -> "7E", 0 -> "0".
void appendHex(std::string& out, unsigned value);

// Plain decimal digits: 126 -> "126".
void appendDecimal(std::string& out, unsigned value);

// A count or quotient written as a plain decimal without blanks or trailing zeros: 120 -> "120",
// 2.5 -> "2.5", -3 -> "-3". Up to 15 significant digits.
void appendPlainNumber(std::string& out, double value);

} // namespace acquisition
