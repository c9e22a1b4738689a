// What IndiMount's two source files share: the INDI properties a telescope is driven through, and how an
// Alert becomes a failure. Internal to the INDI backend.
#pragma once

#include "telescope/Driver.h"
#include "telescope/indi/IndiMessage.h"

#include <string>

namespace telescope::indi::mount {

inline const std::string connection = "CONNECTION";
inline const std::string coordinates = "EQUATORIAL_EOD_COORD";
inline const std::string guideRates = "GUIDE_RATE";
inline const std::string park = "TELESCOPE_PARK";
inline const std::string trackState = "TELESCOPE_TRACK_STATE";
inline const std::string pulseWestEast = "TELESCOPE_TIMED_GUIDE_WE";
inline const std::string pulseNorthSouth = "TELESCOPE_TIMED_GUIDE_NS";
inline const std::string driverInfo = "DRIVER_INFO";

inline Failure alertOf(const Message& m, const std::string& named, const std::string& action) {
    const std::string why = m.text.empty() ? std::string("no reason given") : m.text;
    return Failure{failureRefused, named + " refused to " + action + ": " + why};
}

} // namespace telescope::indi::mount
