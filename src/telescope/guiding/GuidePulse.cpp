// Pulse lengths and directions for SendGuidePulse.
#include "telescope/guiding/GuidePulse.h"

#include "common/Sky.h"

#include <cmath>

namespace telescope {

std::optional<int> pulseLengthMs(double correction, double guideRate, double tickRate) {
    if (!(guideRate > 0.0) || !std::isfinite(guideRate) || !std::isfinite(correction) || !(tickRate > 0.0) ||
        !std::isfinite(tickRate))
        return std::nullopt;
    const double ms = std::floor(std::fabs(correction) /
                                 (guideRate * common::kSiderealArcsecPerSecond * tickRate) * 1000.0);
    // Compare before converting: a length past the int range must not overflow on the way to the clamp.
    if (ms >= static_cast<double>(maxPulseMs))
        return maxPulseMs;
    return static_cast<int>(ms);
}

GuideDirection guideDirection(double correction, GuideAxis axis) {
    if (axis == GuideAxis::Ra)
        return correction > 0.0 ? GuideDirection::East : GuideDirection::West;
    return correction > 0.0 ? GuideDirection::North : GuideDirection::South;
}

std::optional<GuidePulse> guidePulseFor(double correction, double tickRate, GuideAxis axis,
                                        const GuideRates& rates) {
    const auto length = pulseLengthMs(correction, axis == GuideAxis::Ra ? rates.ra : rates.dec, tickRate);
    if (!length)
        return std::nullopt;
    return GuidePulse{guideDirection(correction, axis), *length};
}

} // namespace telescope
