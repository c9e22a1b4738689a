// Locale-independent number texts for the live line, the record line and the statistics texts. Every
// function appends to a caller's string so the per-reading path can reuse one buffer.
#pragma once

#include <string>
#include <string_view>

namespace acquisition {

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
