// Which kind of QEL unit the version text names. The 5 Hz unit streams at the full rate and allows
// high-speed recording; every other version is charted and recorded at one reading in eight.
#pragma once

#include <string_view>

namespace acquisition {

// True when the first "5 Hz" in the version text starts at its second character or later:
// "2.5 (5 Hz nom.)" is the 5 Hz unit, "5 Hz" itself and "" are not.
constexpr bool isFiveHzVersion(std::string_view versionText) {
    const auto at = versionText.find("5 Hz");
    return at != std::string_view::npos && at >= 1;
}

} // namespace acquisition
