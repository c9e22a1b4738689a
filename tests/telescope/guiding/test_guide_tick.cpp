// The Timer1 tick and the pulse-guide output against a driver double whose answers the test releases one at
// a time: what reaches the mount, and what the operator is told, when the reading, the link or the mount
// misbehaves.
#include "telescope/guiding/GuideOutput.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using namespace telescope;
using namespace std::chrono_literals;

// Records each call as text and holds its answer until answerAll() (the real drivers answer later, on the
// event loop). Failures are armed per member name.
class HeldDriver final : public Driver {
public:
    std::vector<std::string> calls;
    bool isConnected = true;
    bool isParked = false;
    std::string failing; // member name whose next answer fails
    Failure failure;

    void answerAll() {
        while (!m_pending.empty()) {
            auto next = std::move(m_pending.front());
            m_pending.pop_front();
            next();
        }
    }
    std::vector<std::string> takeCalls() { return std::exchange(calls, {}); }

    std::string id() const override { return "alpaca://127.0.0.1:11111/telescope/0"; }
    void open(Callback<Done> done) override { hold("open", done, Done{}); }
    void connect(Callback<Done> done) override { hold("connect", done, Done{}); }
    void disconnect() override {}
    void connected(Callback<bool> done) override { hold("connected", done, isConnected); }
    void canSetGuideRates(Callback<bool> done) override { hold("canSetGuideRates", done, true); }
    void setGuideRateRightAscension(double, Callback<Done> done) override { hold("rateRa", done, Done{}); }
    void setGuideRateDeclination(double, Callback<Done> done) override { hold("rateDec", done, Done{}); }
    void guideRateRightAscension(Callback<double> done) override { hold("guideRateRa", done, 0.5); }
    void guideRateDeclination(Callback<double> done) override { hold("guideRateDec", done, 0.5); }
    void rightAscension(Callback<double> done) override { hold("ra", done, 0.0); }
    void declination(Callback<double> done) override { hold("dec", done, 0.0); }
    void atPark(Callback<bool> done) override { hold("atPark", done, isParked); }
    void unpark(Callback<Done> done) override {
        isParked = false;
        hold("unpark", done, Done{});
    }
    void pulseGuide(GuideDirection direction, int ms, Callback<Done> done) override {
        hold("pulse " + std::to_string(static_cast<int>(direction)) + " " + std::to_string(ms), done, Done{});
    }

private:
    template <typename T>
    void hold(const std::string& name, Callback<T> done, T value) {
        calls.push_back(name);
        const bool fails = failing == name.substr(0, failing.size()) && !failing.empty();
        if (fails)
            failing.clear();
        m_pending.push_back([done, value, fails, f = failure] {
            done(fails ? Result<T>::failed(f) : Result<T>::success(value));
        });
    }
    std::deque<std::function<void()>> m_pending;
};

const std::vector<std::string> kOnePulse = {"connected", "atPark", "pulse 2 133", "pulse 1 0"};

struct Guiding : testing::Test {
    HeldDriver driver;
    GuideController controller;
    std::vector<std::function<void(bool)>> questions; // open unpark questions, in order
    std::vector<std::string> errors;
    GuideOutput output{[this](std::function<void(bool)> answer) { questions.push_back(std::move(answer)); },
                       [this](const std::string& m) {
                           errors.push_back(m);
                       }};
    std::chrono::milliseconds now{100000};
    std::optional<LatestReading> reading;

    void SetUp() override { output.setDriver(&driver); }

    // A reading of `arcsec` that arrived just now.
    void arrive(double arcsec) { reading = LatestReading{arcsec, now}; }

    // One 1 Hz tick with Kp = 1 and guide rate 0.5, a second after the last; then every answer is released.
    TickDecision tick(bool answer = true) {
        now += 1000ms;
        TickInputs in;
        in.reading = reading;
        in.now = now;
        in.gains = {1.0, 0.0, 0.0};
        in.rates = {0.5, 0.5};
        auto d = guideTick(controller, output, in);
        if (answer)
            driver.answerAll();
        return d;
    }
};

TEST_F(Guiding, NoPulseBeforeTheFirstReadingThenOneTheTickAfter) {
    EXPECT_EQ(tick().outcome, TickOutcome::NoReading);
    EXPECT_EQ(tick().outcome, TickOutcome::NoReading);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(controller.state().pidProportional, 0.0); // the empty reading never entered the law
    arrive(1.0);
    EXPECT_EQ(tick().outcome, TickOutcome::Send);
    EXPECT_EQ(driver.takeCalls(), kOnePulse);
}

TEST_F(Guiding, StaleReadingStopsPulsesAndIsSaidOnce) {
    arrive(1.0);
    tick(); // 1 s old: guided
    driver.takeCalls();
    const auto first = tick(); // 2 s old: still guided
    EXPECT_EQ(first.outcome, TickOutcome::Send);
    driver.takeCalls();
    const auto stale = tick(); // 3 s
    const auto again = tick(); // 4 s
    EXPECT_EQ(stale.outcome, TickOutcome::StaleReading);
    EXPECT_NE(stale.notice.find("over 2 seconds"), std::string::npos);
    EXPECT_EQ(again.outcome, TickOutcome::StaleReading);
    EXPECT_TRUE(again.notice.empty());
    EXPECT_TRUE(driver.calls.empty());
    arrive(1.0); // readings come back: guided again, and a later loss is said again
    EXPECT_EQ(tick().outcome, TickOutcome::Send);
    tick();
    EXPECT_FALSE(tick().notice.empty());
}

TEST_F(Guiding, TickWhileCallsAreUnderWaySendsNothingAndCounts) {
    arrive(1.0);
    EXPECT_EQ(tick(false).outcome, TickOutcome::Send);
    arrive(1.0);
    EXPECT_EQ(tick(false).outcome, TickOutcome::CallsInFlight);
    arrive(1.0);
    EXPECT_EQ(tick(false).outcome, TickOutcome::CallsInFlight);
    EXPECT_EQ(controller.skippedTicks(), 2);
    driver.answerAll();
    EXPECT_EQ(driver.takeCalls(), kOnePulse); // one tick's calls only
    arrive(1.0);
    EXPECT_EQ(tick().outcome, TickOutcome::Send);
}

TEST_F(Guiding, ParkedMountIsAskedOnceAndNotPulsedUntilAnswered) {
    driver.isParked = true;
    arrive(1.0);
    for (int i = 0; i < 4; ++i) {
        arrive(1.0);
        tick();
    }
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(driver.takeCalls(),
              (std::vector<std::string>{"connected", "atPark"})); // no pulse, no second check
    questions[0](false);                                          // No: asked again later
    arrive(1.0);
    tick();
    EXPECT_EQ(questions.size(), 2u);
    driver.takeCalls();
    questions[1](true); // Yes: unpark, then the next tick guides
    driver.answerAll();
    EXPECT_EQ(driver.takeCalls(), std::vector<std::string>{"unpark"});
    arrive(1.0);
    EXPECT_EQ(tick().outcome, TickOutcome::Send);
    EXPECT_EQ(driver.takeCalls(), kOnePulse);
}

TEST_F(Guiding, RefusalsAreShownAndGuidingGoesOn) {
    const struct {
        const char* member;
        Failure failure;
        const char* shown;
    } cases[] = {
        {"pulse 2", {0x40B, "Pulse overlaps the running one"}, "(0x40B)"},
        {"pulse 2", {0x408, "Invalid while parked"}, "(0x408)"},
        {"atPark", {0x407, "Not connected"}, "(0x407)"},
        {"connected", {failureTimeout, "3 s"}, "no answer in time"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        driver.failing = c.member;
        driver.failure = c.failure;
        arrive(1.0);
        tick();
        ASSERT_FALSE(errors.empty());
        EXPECT_NE(errors.back().find(c.shown), std::string::npos) << errors.back();
        EXPECT_NE(errors.back().find(driver.id()), std::string::npos);
        EXPECT_EQ(output.latestError(), errors.back());
        driver.takeCalls();
        arrive(1.0);
        EXPECT_EQ(tick().outcome, TickOutcome::Send);
        EXPECT_EQ(driver.takeCalls(), kOnePulse);
    }
}

TEST_F(Guiding, MountThatSaysNotConnectedGetsNoPulseAndTheOperatorIsTold) {
    driver.isConnected = false;
    arrive(1.0);
    tick();
    EXPECT_EQ(driver.takeCalls(), std::vector<std::string>{"connected"});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("not connected"), std::string::npos);
}

TEST_F(Guiding, UnknownGuideRateSendsNothingAndIsSaidOnce) {
    arrive(1.0);
    TickInputs in;
    in.reading = reading;
    in.now = now;
    in.gains = {1.0, 0.0, 0.0};
    const auto first = guideTick(controller, output, in);
    const auto second = guideTick(controller, output, in);
    EXPECT_EQ(first.outcome, TickOutcome::GuideRateUnknown);
    EXPECT_NE(first.notice.find("Guide rate unknown"), std::string::npos);
    EXPECT_TRUE(second.notice.empty());
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(Guiding, ANewDriverIsNotHeldBackByTheOldOnesCalls) {
    arrive(1.0);
    tick(false); // the old driver never answers
    HeldDriver other;
    output.setDriver(&other);
    arrive(1.0);
    EXPECT_EQ(tick().outcome, TickOutcome::Send);
    other.answerAll();
    driver.answerAll(); // late answers of the old driver change nothing
    EXPECT_EQ(other.takeCalls(), kOnePulse);
    EXPECT_FALSE(output.callsInFlight());
    output.setDriver(nullptr);
    arrive(1.0);
    EXPECT_EQ(tick().outcome, TickOutcome::NoDriver);
}

} // namespace
