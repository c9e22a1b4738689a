// The mount's position as the live and record lines carry it: raText ("RA  05:30:00") and decText
// ("DEC  +45:15:00"). Used by the position read-out; plain C++.
#pragma once

#include <optional>
#include <string>

namespace telescope {

struct PositionTexts {
    std::string raText;
    std::string decText;
};

// One numeric field: at least two digits, a leading zero below ten, a minus sign before the digits (-05).
std::string positionField(int value);

// "RA  " hours:minutes:seconds of rightAscension (hours), every field floored.
std::string raText(double rightAscensionHours);
// "DEC  +", "DEC  -" or "DEC  " then degrees:minutes:seconds of declination (degrees). Negative declinations
// are truncated toward zero, positive ones floored; no field is ever rounded to the nearest.
std::string decText(double declinationDegrees);

// Both texts, or nothing when a value is not a position at all (not finite, RA outside 0 ... 24 h, Dec
// outside -90 ... +90 degrees): such a read counts as a failed read, never as a text.
std::optional<PositionTexts> positionTexts(double rightAscensionHours, double declinationDegrees);

} // namespace telescope
