// IndiDriver against the real indiserver + indi_simulator_telescope. Run through with_indiserver.sh, which
// starts the server on 127.0.0.1:7624 in a private network namespace with its own HOME (see CMakeLists.txt).
// Park refusal, a vanished server and the listing are replayed in test_indi_driver and
// test_indi_telescope_list; tst_indi_chooser lists the real simulator.
#include "telescope/indi/FakeIndiServer.h" // waitUntil, spin
#include "telescope/indi/IndiDriver.h"
#include "telescope/indi/IndiTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace telescope;
using namespace telescope::indi;

namespace {

struct IndiSimulator : ::testing::Test {
    void SetUp() override {
        ensureApplication();
        driver.open(done.take());
        await(done);
        ASSERT_TRUE(done.ok()) << done.message();
        driver.connect(done.take());
        await(done);
        ASSERT_TRUE(done.ok()) << done.message();
    }
    template <typename T>
    void await(Catch<T>& c) {
        ASSERT_TRUE(waitUntil([&c] { return c.done(); }));
    }
    double rightAscension() {
        Catch<double> ra;
        driver.rightAscension(ra.take());
        EXPECT_TRUE(waitUntil([&ra] { return ra.done(); }));
        EXPECT_TRUE(ra.ok());
        return ra.ok() ? ra.value() : 0;
    }

    IndiDriver driver{IndiAddress{"127.0.0.1", 7624, "Telescope Simulator"}};
    Catch<Done> done;
    Catch<bool> flag;
    Catch<double> number;
};

TEST_F(IndiSimulator, GuideRateIsReadBack) {
    driver.canSetGuideRates(flag.take());
    await(flag);
    ASSERT_TRUE(flag.ok() && flag.value());
    Catch<Done> first;
    driver.setGuideRateRightAscension(0.3, first.take());
    driver.setGuideRateDeclination(0.7, done.take());
    await(first);
    await(done);
    ASSERT_TRUE(first.ok() && done.ok()) << done.message();
    driver.guideRateDeclination(number.take());
    await(number);
    EXPECT_DOUBLE_EQ(number.value(), 0.7);
    driver.guideRateRightAscension(number.take());
    await(number);
    EXPECT_DOUBLE_EQ(number.value(), 0.3) << "two writes in a row must not undo each other";

    driver.setGuideRateRightAscension(0.5, done.take());
    await(done);
    driver.guideRateRightAscension(number.take());
    await(number);
    EXPECT_DOUBLE_EQ(number.value(), 0.5);
}

TEST_F(IndiSimulator, WestPulseMovesRightAscension) {
    driver.unpark(done.take()); // also turns tracking on, so that RA stands still between pulses
    await(done);
    ASSERT_TRUE(done.ok()) << done.message();
    driver.setGuideRateRightAscension(0.5, done.take());
    await(done);
    ASSERT_TRUE(done.ok()) << done.message();
    spin(1000); // the simulator polls every 250 ms: let the last drift update before tracking arrive

    const double before = rightAscension();
    driver.pulseGuide(GuideDirection::West, 1000, done.take());
    await(done);
    ASSERT_TRUE(done.ok()) << done.message();
    driver.pulseGuide(GuideDirection::West, 1000, done.take());
    await(done);
    EXPECT_EQ(done.number(), failurePulseRunning) << "a second pulse while the first is Busy";
    spin(2000);
    const double moved = (rightAscension() - before) * 15 * 3600; // hours -> arcseconds
    std::printf("1000 ms west pulse at 0.5 x sidereal moved RA by %.3f arcsec\n", moved);
    EXPECT_NEAR(moved, -7.5, 0.3);
}

} // namespace
