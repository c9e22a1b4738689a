// The arithmetic of SendGuidePulse: a correction in arcseconds becomes a guide direction and a pulse length
// in milliseconds. Used by GuideController and by the closed-loop benchmark.
#pragma once

#include "telescope/Driver.h"

#include <optional>

namespace telescope {

enum class GuideAxis { Ra, Dec };

// The guide rates in force (guideRateRa, guideRateDec), multiples of 15 arcseconds per second. 0 until a
// connection to a mount that can set guide rates has stored one.
struct GuideRates {
    double ra = 0.0;
    double dec = 0.0;
};

struct GuidePulse {
    GuideDirection direction = GuideDirection::West;
    int durationMs = 0; // 0 ... maxPulseMs
};

inline constexpr int maxPulseMs = 32767; // the longest pulse the 16-bit length holds

// floor(|correction| / (guideRate * 15 * tickRate) * 1000) ms, i.e. |correction| * period * 1000 / (15 *
// rate): the pulse moves the mount by |correction| * period arcseconds. Longer than maxPulseMs gives
// maxPulseMs. A guide rate that is not positive, or a correction or tick rate that is not a finite number,
// gives no length.
std::optional<int> pulseLengthMs(double correction, double guideRate, double tickRate);

// East (RA) or north (Dec) for a correction > 0; west or south otherwise, zero included.
GuideDirection guideDirection(double correction, GuideAxis axis);

// The pulse for one axis, with that axis's guide rate; none when its length is undefined (guide rate
// unknown).
std::optional<GuidePulse> guidePulseFor(double correction, double tickRate, GuideAxis axis,
                                        const GuideRates& rates);

} // namespace telescope
