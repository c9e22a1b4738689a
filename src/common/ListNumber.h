// Reading a number from a one-row list's selected text: "2 Hz" gives 2, "0.5" gives 0.5, no selection gives
// 0.
#pragma once

#include <string_view>

namespace common {

// The decimal number at the start of text: leading blanks skipped, "." is the decimal point whatever the
// locale, an optional sign; no number (or an empty text) gives 0.
double numberAtStart(std::string_view text);

} // namespace common
