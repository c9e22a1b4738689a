// Turning a QEL reading into a tracking error in arcseconds. The receive path decodes the byte itself; the
// PID controller decodes the reading's text as it is kept in lastSampleText.
#pragma once

#include <cstdint>
#include <string_view>

namespace acquisition {

// Tracking error, arcseconds, of the character code c: (127 - c) * 0.125. Code 127 is 0.0, code 0 is
// +15.875, code 255 is -16.0; every code gives a value, none is rejected.
constexpr double trackingErrorFromCode(std::uint8_t code) {
    return (127.0 - static_cast<double>(code)) * 0.125;
}

// The same conversion from a text holding the code in decimal digits ("126", "5"): the number at the
// start of the text is taken ("." as decimal point, leading blanks skipped), an empty or non-numeric text
// counts as 0, so "" gives +15.875. Never fails.
double DecodeTrackingError(std::string_view text);

} // namespace acquisition
