// The Timer1 tick and the pulse-guide output against a driver double whose answers the test releases one at
// a time: what reaches the mount, and what the operator is told, when the reading, the link or the mount
// misbehaves.
#include "support/FakeDriver.h"
#include "telescope/guiding/GuideOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace telescope;
using namespace std::chrono_literals;
using Calls = std::vector<std::string>;

// Answers every call the driver holds, and those the answers lead to (the real drivers answer later, on the
// event loop).
void answerAll(FakeDriver& driver) {
    while (driver.pendingCount() > 0)
        driver.releaseAll();
}

Calls takeCalls(FakeDriver& driver) {
    return std::exchange(driver.calls, {});
}

const Calls kOnePulse = {"connected", "atPark", "pulseGuide 2 133", "pulseGuide 1 0"};

struct Guiding : testing::Test {
    FakeDriver driver;
    GuideController controller;
    std::vector<std::function<void(bool)>> questions; // open unpark questions, in order
    std::vector<std::string> errors;
    GuideOutput output{[this](std::function<void(bool)> answer) { questions.push_back(std::move(answer)); },
                       [this](const std::string& m) {
                           errors.push_back(m);
                       }};
    std::chrono::milliseconds now{100000};
    std::optional<LatestReading> reading;

    void SetUp() override {
        driver.holdAnswers = true;
        output.setDriver(&driver);
    }

    // One 1 Hz tick with Kp = 1 and guide rate `rate`, a second after the last; then, if `answer`, every
    // answer is released.
    TickDecision tick(bool answer = true, double rate = 0.5) {
        now += 1000ms;
        auto d = guideTick(controller, output,
                           {.reading = reading, .now = now, .gains = {1, 0, 0}, .rates = {rate, rate}});
        if (answer)
            answerAll(driver);
        return d;
    }
    // A reading of 1" arrives just now, then a tick.
    TickOutcome guide(bool answer = true) {
        reading = LatestReading{1.0, now};
        return tick(answer).outcome;
    }
};

TEST_F(Guiding, NoPulseBeforeTheFirstReadingThenOneTheTickAfter) {
    EXPECT_EQ(tick().outcome, TickOutcome::NoReading);
    EXPECT_EQ(tick().outcome, TickOutcome::NoReading);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(controller.state().pidProportional, 0.0); // the empty reading never entered the law
    EXPECT_EQ(guide(), TickOutcome::Send);
    EXPECT_EQ(takeCalls(driver), kOnePulse);
}

TEST_F(Guiding, StaleReadingStopsPulsesAndIsSaidOnce) {
    guide();                                      // 1 s old: guided
    EXPECT_EQ(tick().outcome, TickOutcome::Send); // 2 s old: still guided
    takeCalls(driver);
    const auto stale = tick(); // 3 s
    const auto again = tick(); // 4 s
    EXPECT_EQ(stale.outcome, TickOutcome::StaleReading);
    EXPECT_NE(stale.notice.find("over 2 seconds"), std::string::npos);
    EXPECT_EQ(again.outcome, TickOutcome::StaleReading);
    EXPECT_TRUE(again.notice.empty() && driver.calls.empty());
    EXPECT_EQ(guide(), TickOutcome::Send); // readings come back: guided again, and a later loss is said again
    tick();
    EXPECT_FALSE(tick().notice.empty());
}

TEST_F(Guiding, TickWhileCallsAreUnderWaySendsNothingAndCounts) {
    EXPECT_EQ(guide(false), TickOutcome::Send);
    EXPECT_EQ(guide(false), TickOutcome::CallsInFlight);
    EXPECT_EQ(guide(false), TickOutcome::CallsInFlight);
    EXPECT_EQ(controller.skippedTicks(), 2);
    answerAll(driver);
    EXPECT_EQ(takeCalls(driver), kOnePulse); // one tick's calls only
    EXPECT_EQ(guide(), TickOutcome::Send);
}

TEST_F(Guiding, ParkedMountIsAskedOnceAndNotPulsedUntilAnswered) {
    driver.parked = true;
    for (int i = 0; i < 4; ++i)
        guide();
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(takeCalls(driver), (Calls{"connected", "atPark"})); // no pulse, no second check
    questions[0](false);                                          // No: asked again later
    guide();
    EXPECT_EQ(questions.size(), 2u);
    takeCalls(driver);
    questions[1](true); // Yes: unpark, then the next tick guides
    answerAll(driver);
    EXPECT_EQ(takeCalls(driver), Calls{"unpark"});
    EXPECT_EQ(guide(), TickOutcome::Send);
    EXPECT_EQ(takeCalls(driver), kOnePulse);
}

TEST_F(Guiding, RefusalsAreShownAndGuidingGoesOn) {
    const struct {
        const char* member;
        Failure failure;
        const char* shown;
    } cases[] = {
        {"pulseGuide 2", {0x40B, "Pulse overlaps the running one"}, "(ASCOM error 0x40B)"},
        {"atPark", {0x407, "Not connected"}, "(ASCOM error 0x407)"},
        {"connected", {failureTimeout, "no answer from 127.0.0.1:11111 in time"}, "no answer from"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        driver.failNext[c.member] = c.failure;
        guide();
        ASSERT_FALSE(errors.empty());
        EXPECT_NE(errors.back().find(c.shown), std::string::npos) << errors.back();
        EXPECT_NE(errors.back().find(driver.id()), std::string::npos);
        EXPECT_EQ(output.latestError(), errors.back());
        takeCalls(driver);
        EXPECT_EQ(guide(), TickOutcome::Send);
        EXPECT_EQ(takeCalls(driver), kOnePulse);
    }
}

TEST_F(Guiding, MountThatSaysNotConnectedGetsNoPulseAndTheOperatorIsTold) {
    driver.isConnected = false;
    guide();
    EXPECT_EQ(takeCalls(driver), Calls{"connected"});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("not connected"), std::string::npos);
}

TEST_F(Guiding, UnknownGuideRateSendsNothingAndIsSaidOnce) {
    reading = LatestReading{1.0, now};
    const auto first = tick(true, 0.0);
    const auto second = tick(true, 0.0);
    EXPECT_EQ(first.outcome, TickOutcome::GuideRateUnknown);
    EXPECT_NE(first.notice.find("Guide rate unknown"), std::string::npos);
    EXPECT_TRUE(second.notice.empty() && driver.calls.empty());
}

TEST_F(Guiding, ANewDriverIsNotHeldBackByTheOldOnesCalls) {
    guide(false); // the old driver never answers
    FakeDriver other;
    other.holdAnswers = true;
    output.setDriver(&other);
    EXPECT_EQ(guide(), TickOutcome::Send);
    answerAll(other);
    answerAll(driver); // late answers of the old driver change nothing
    EXPECT_EQ(takeCalls(other), kOnePulse);
    EXPECT_FALSE(output.callsInFlight());
    output.setDriver(nullptr);
    EXPECT_EQ(guide(), TickOutcome::NoDriver);
}

} // namespace
