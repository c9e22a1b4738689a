// The selection rules of the receive path: every reading in standard mode, one in eight or every one in
// 5 Hz mode depending on Check3.
#include "acquisition/ReadingRoute.h"

#include "acquisition/AcquisitionMode.h"

namespace acquisition {

bool isFiveHzMode(const AcquisitionOptions& options) {
    return isFiveHzVersion(options.versionText);
}

void RateCounters::advance(bool fiveHzMode) {
    slowRateCounter += 1;
    if (fastRateCounter < kFastRatePast)
        fastRateCounter += 1;
    if (slowRateCounter >= 9)
        slowRateCounter = 1;
    if (fiveHzMode && fastRateCounter >= 2)
        fastRateCounter = 1;
}

ReadingRoute routeReading(const AcquisitionOptions& options, const RateCounters& counters) {
    ReadingRoute route;
    const bool fiveHz = isFiveHzMode(options);
    if (fiveHz) {
        route.recordFirst = false;
        route.liveLine = options.check1Checked && (counters.isSlowRate() || counters.isFastRate());
        // The trimming check follows the live-line step only while live lines are on.
        route.trimCheck = options.check1Checked;
        // The record rate follows Check3's value, enabled or not.
        route.recordLine =
            options.check4Checked && (options.check3Checked ? counters.isFastRate() : counters.isSlowRate());
    } else {
        route.recordFirst = true;
        route.liveLine = options.check1Checked;
        route.trimCheck = true;
        route.recordLine = options.check4Checked;
    }

    // The chart rate follows high-speed display (enabled and checked); high-speed display outside 5 Hz
    // mode charts nothing.
    if (!isHighSpeedDisplay(options)) {
        if (counters.isSlowRate())
            route.chart = ChartRate::Slow;
    } else if (fiveHz && counters.isFastRate()) {
        route.chart = ChartRate::Fast;
    }
    return route;
}

} // namespace acquisition
