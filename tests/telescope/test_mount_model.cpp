// The simulated mount: pulses move it at the guide rate for their duration, and the device's refusals.
#include "AlpacaDevice.h"
#include "MountModel.h"

#include <gtest/gtest.h>

namespace {

using namespace mountsim;

TEST(MountModel, PulsesMoveAtTheGuideRateForTheirDuration) {
    MountModel m(5.5, 45.0);
    m.connected = true;
    ASSERT_EQ(m.setGuideRateRa(0.5 * 15 / 3600), 0);
    ASSERT_EQ(m.pulseGuide(2, 2000, 10.0), 0); // east, +RA
    EXPECT_TRUE(m.isPulseGuiding(11.0));
    EXPECT_EQ(m.pulseGuide(3, 100, 11.0), errorInvalidOperation); // same axis still running
    EXPECT_EQ(m.pulseGuide(1, 1000, 11.0), 0);                    // Dec runs alongside
    EXPECT_FALSE(m.isPulseGuiding(13.0));
    // 2 s at 7.5"/s = 15" of RA = 1 s of time; 1 s south at the sidereal default.
    EXPECT_NEAR(m.rightAscension(20.0), 5.5 + 1.0 / 3600, 1e-12);
    EXPECT_NEAR(m.declination(20.0), 45.0 - kMaxGuideRate, 1e-12);
}

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

TEST(MountModel, RightAscensionWrapsThroughZero) {
    MountModel m(0.00001, 0.0);
    m.connected = true;
    ASSERT_EQ(m.pulseGuide(3, 1000, 0), 0); // west, -RA
    const double ra = m.rightAscension(5);
    EXPECT_GT(ra, 23.99);
    EXPECT_LT(ra, 24.0);
}

TEST(AlpacaDevice, PutKeysAreExactAndGetKeysAnyCase) {
    MountModel m(1, 2);
    AlpacaDevice d(m, 3);
    EXPECT_EQ(d.handle({"PUT", "/api/v1/telescope/0/connected", {{"connected", "true"}}}, 0).status, 400);
    EXPECT_EQ(d.handle({"PUT", "/api/v1/telescope/0/connected", {{"Connected", "True"}}}, 0).status, 200);
    const Answer a = d.handle({"GET", "/api/v1/telescope/0/declination", {{"clienttransactionid", "7"}}}, 0);
    EXPECT_NE(a.body.find("\"ClientTransactionID\":7"), std::string::npos);
    EXPECT_EQ(d.handle({"GET", "/api/v1/telescope/0/connect", {}}, 0).status, 400); // interface 3 has none
}

} // namespace
