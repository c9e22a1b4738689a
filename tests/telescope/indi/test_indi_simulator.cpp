// IndiDriver against the real indiserver + indi_simulator_telescope. Run through with_indiserver.sh, which
// starts the server on 127.0.0.1:7624 in a private network namespace with its own HOME (see CMakeLists.txt).
// Park refusal, a vanished server and the listing are replayed in test_indi_driver and
// test_indi_telescope_list; tst_indi_chooser lists the real simulator.
#include "telescope/indi/FakeIndiServer.h" // waitUntil
#include "telescope/indi/IndiDriver.h"
#include "telescope/indi/IndiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <utility>

using namespace telescope;
using namespace telescope::indi;

namespace {

struct IndiSimulator : ::testing::Test {
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(ask(done, &IndiDriver::open).ok()) << done.message();
        ASSERT_TRUE(ask(done, &IndiDriver::connect).ok()) << done.message();
    }
    template <typename T, typename C, typename... P, typename... A>
    Catch<T>& ask(Catch<T>& c, void (C::*member)(P...), A... args) {
        return call(c, driver, member, args...);
    }

    IndiDriver driver{IndiAddress{"127.0.0.1", 7624, "Telescope Simulator"}};
    Catch<Done> done;
    Catch<bool> flag;
    Catch<double> number;
};

TEST_F(IndiSimulator, GuideRateIsReadBack) {
    ASSERT_TRUE(ask(flag, &IndiDriver::canSetGuideRates).value());
    Catch<Done> first;
    driver.setGuideRateRightAscension(0.3, first.take());
    driver.setGuideRateDeclination(0.7, done.take());
    ASSERT_TRUE(waitUntil([&] { return first.done() && done.done(); }));
    ASSERT_TRUE(first.ok() && done.ok()) << done.message();
    EXPECT_DOUBLE_EQ(ask(number, &IndiDriver::guideRateDeclination).value(), 0.7);
    EXPECT_DOUBLE_EQ(ask(number, &IndiDriver::guideRateRightAscension).value(), 0.3)
        << "two writes in a row must not undo each other";
}

TEST_F(IndiSimulator, WestPulseMovesRightAscension) {
    // Unparking also turns tracking on, so that RA stands still between pulses.
    ASSERT_TRUE(ask(done, &IndiDriver::unpark).ok()) << done.message();
    ASSERT_TRUE(ask(done, &IndiDriver::setGuideRateRightAscension, 0.5).ok()) << done.message();
    // The simulator updates every 250 ms: wait until tracking holds RA still (the same over half a second).
    double before = ask(number, &IndiDriver::rightAscension).value();
    ASSERT_TRUE(waitUntil([&] {
        QTest::qWait(500);
        const double now = ask(number, &IndiDriver::rightAscension).value();
        return std::fabs(std::exchange(before, now) - now) < 1e-6; // hours: 0.05 arcsec
    }));

    ASSERT_TRUE(ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000).ok()) << done.message();
    EXPECT_EQ(ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000).number(), failurePulseRunning)
        << "a second pulse while the first is Busy";
    // Until the pulse has ended (the axis takes a pulse again) and RA has stopped moving.
    ASSERT_TRUE(waitUntil([&] {
        Catch<Done> again;
        return ask(again, &IndiDriver::pulseGuide, GuideDirection::West, 0).ok();
    }));
    double moved = 0, last = 1e9;
    ASSERT_TRUE(waitUntil([&] {
        QTest::qWait(300);
        moved = (ask(number, &IndiDriver::rightAscension).value() - before) * 15 * 3600; // hours -> arcsec
        return std::fabs(std::exchange(last, moved) - moved) < 0.05;
    }));
    std::printf("1000 ms west pulse at 0.5 x sidereal moved RA by %.3f arcsec\n", moved);
    EXPECT_NEAR(moved, -7.5, 0.3);
}

} // namespace
