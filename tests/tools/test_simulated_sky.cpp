// The simulated sky: its periodic error's size, and the sign and size of what a guide pulse moves.
#include "SimulatedSky.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using qelsim::SimulatedSky;
using qelsim::SkyModel;
using telescope::GuideDirection;

SkyModel quiet() {
    SkyModel m;
    m.error.noise = 0.0;
    return m;
}

TEST(SimulatedSky, PeriodicErrorSwingsToThePeakAndRepeatsEachWormTurn) {
    const SimulatedSky sky(quiet(), 7);
    double largest = 0.0;
    for (int i = 0; i < 4800; ++i)
        largest = std::max(largest, std::fabs(sky.periodicError(i * 0.1)));
    EXPECT_NEAR(largest, 4.0, 0.01);
    EXPECT_NEAR(sky.periodicError(123.0), sky.periodicError(123.0 + 480.0), 1e-9);
}

TEST(SimulatedSky, EastPulseLowersTheErrorAtTheGuideRateForItsLength) {
    // Guide rate 0.5 = 7.5 "/s: 400 ms moves 3". West moves the other way; north and south move nothing.
    const struct {
        GuideDirection direction;
        double moved; // arcsec subtracted from the error
    } cases[] = {{GuideDirection::East, 3.0},
                 {GuideDirection::West, -3.0},
                 {GuideDirection::North, 0.0},
                 {GuideDirection::South, 0.0}};
    for (const auto& c : cases) {
        SimulatedSky sky(quiet(), 7);
        sky.setGuideRate(0.5);
        sky.pulse(10.0, c.direction, 400);
        EXPECT_NEAR(sky.periodicError(12.0) - sky.trackingError(12.0), c.moved, 1e-9);
        EXPECT_NEAR(sky.periodicError(10.2) - sky.trackingError(10.2), c.moved / 2, 1e-9); // halfway
    }
}

TEST(SimulatedSky, NewPulseReplacesWhatIsLeftOfTheRunningOne) {
    SimulatedSky sky(quiet(), 7);
    sky.setGuideRate(1.0); // 15 "/s
    sky.pulse(0.0, GuideDirection::East, 1000);
    sky.pulse(0.2, GuideDirection::West, 100); // 3" east, then 1.5" back
    EXPECT_NEAR(sky.periodicError(5.0) - sky.trackingError(5.0), 1.5, 1e-9);
}

TEST(SimulatedSky, ReadingIsTheErrorInEighthsClippedToTheUnitsRange) {
    SimulatedSky sky(quiet(), 7);
    sky.setGuideRate(1.0);
    const double t = 50.0;
    EXPECT_EQ(sky.readingCode(t), static_cast<int>(127 - std::lround(sky.trackingError(t) * 8)));
    sky.pulse(t, GuideDirection::West, 30000); // 450" the wrong way
    EXPECT_EQ(sky.readingCode(t + 40.0), 0);   // +15.875", the end of the range
}

} // namespace
