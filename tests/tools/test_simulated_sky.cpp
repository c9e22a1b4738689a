// The simulated sky: the sign and size of what the mount's guide pulses move.
#include "SimulatedSky.h"

#include <gtest/gtest.h>

namespace {

using qelsim::SimulatedSky;
using qelsim::SkyModel;

constexpr int north = 0, south = 1, east = 2, west = 3;

SkyModel quiet() {
    SkyModel m;
    m.error.noise = 0.0;
    return m;
}

// A connected mount guiding at `multiple` x 15 "/s on both axes.
mountsim::MountModel mountAt(double raHours, double multiple) {
    mountsim::MountModel mount(raHours, 10.0);
    mount.connected = true;
    mount.setGuideRateRa(multiple * 15.0 / 3600.0);
    mount.setGuideRateDec(multiple * 15.0 / 3600.0);
    return mount;
}

TEST(SimulatedSky, EastPulseLowersTheErrorAtTheGuideRateForItsLength) {
    // Guide rate 0.5 = 7.5 "/s: 400 ms moves 3". West moves the other way; north and south move nothing the
    // unit measures. Also across 0 h, where the mount wraps its right ascension.
    const struct {
        int direction;
        double moved; // arcsec subtracted from the error
    } cases[] = {{east, 3.0}, {west, -3.0}, {north, 0.0}, {south, 0.0}};
    for (double ra : {5.5, 0.0}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "direction " << c.direction << " at RA " << ra);
            auto mount = mountAt(ra, 0.5);
            SimulatedSky sky(quiet(), 7, mount, 0.0);
            ASSERT_EQ(mount.pulseGuide(c.direction, 400, 10.0), 0);
            EXPECT_NEAR(sky.periodicError(10.2) - sky.trackingError(10.2), c.moved / 2, 1e-6); // halfway
            EXPECT_NEAR(sky.periodicError(12.0) - sky.trackingError(12.0), c.moved, 1e-6);
        }
    }
}

} // namespace
