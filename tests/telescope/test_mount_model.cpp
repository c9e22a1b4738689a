// The simulated mount's refusals: a guide rate in degrees per second must be refused, or the units trap would
// pass unseen. Its pulses' motion: test_simulated_sky; its HTTP side: tst_alpaca_driver.
#include "MountModel.h"

#include <gtest/gtest.h>

namespace {

using namespace mountsim;

TEST(MountModel, RefusalsTable) {
    MountModel m(0.0, 0.0);
    EXPECT_EQ(m.pulseGuide(0, 100, 0), errorNotConnected);
    m.connected = true;
    m.atPark = true;
    EXPECT_EQ(m.pulseGuide(0, 100, 0), errorParked);
    m.atPark = false;
    EXPECT_EQ(m.pulseGuide(4, 100, 0), errorInvalidValue);
    EXPECT_EQ(m.pulseGuide(0, 30001, 0), errorInvalidValue);
    // Guide rates: 0.1 x 15"/s up to sidereal; 0.5 degrees per second (the unconverted list value) is
    // refused.
    EXPECT_EQ(m.setGuideRateRa(0.5), errorInvalidValue);
    EXPECT_EQ(m.setGuideRateDec(0.0), errorInvalidValue);
    EXPECT_EQ(m.setGuideRateDec(0.2 * 15 / 3600), 0);
    EXPECT_EQ(m.setGuideRateRa(15.0 / 3600), 0);
    EXPECT_NEAR(m.guideRateRa(), 15.0 / 3600, 1e-15);
}

} // namespace
