// IndiMount with the clock in the test's hand: the time limits on every answer and on a pulse's end, the
// coordinates of a mount found connected, and where each direction goes (west: test_indi_driver's replay).
#include "telescope/indi/IndiMount.h"

#include <gtest/gtest.h>

#include <optional>

using namespace telescope;
using namespace telescope::indi;

namespace {

// A message of the device "Mount", every member given.
Message message(MessageKind kind, const std::string& property, PropertyType type, PropertyState state,
                std::vector<Element> elements = {}, const std::string& text = {}) {
    return {kind, type, "Mount", property, state, "rw", "", 0, text, "", std::move(elements)};
}

Message define(const std::string& property, PropertyType type, std::vector<Element> elements = {}) {
    return message(MessageKind::Define, property, type, PropertyState::Idle, std::move(elements));
}

const char* const kWE = "TELESCOPE_TIMED_GUIDE_WE";
const char* const kNS = "TELESCOPE_TIMED_GUIDE_NS";

struct MountTest : ::testing::Test {
    std::vector<std::string> sent;
    std::vector<std::string> notices;
    IndiMount mount{IndiAddress{"127.0.0.1", 7624, "Mount"},
                    [this](const std::string& x) { sent.push_back(x); },
                    [this](const std::string& t) {
                        notices.push_back(t);
                    }};
    std::optional<Result<Done>> done;
    Callback<Done> catchDone() {
        done.reset();
        return [this](const Result<Done>& r) {
            done = r;
        };
    }

    // A connected, unparked mount with both pulse properties, as the simulator shows it.
    void connectedMount() {
        mount.linkUp(0);
        for (const Message& m :
             {define("CONNECTION", PropertyType::Switch, {{"CONNECT", "On"}, {"DISCONNECT", "Off"}}),
              define("EQUATORIAL_EOD_COORD", PropertyType::Number, {{"RA", "0"}, {"DEC", "0"}}),
              define("TELESCOPE_PARK", PropertyType::Switch, {{"PARK", "Off"}, {"UNPARK", "On"}}),
              define(kWE, PropertyType::Number), define(kNS, PropertyType::Number)})
            mount.receive(m, 0);
        sent.clear();
    }
    // The pulse property `axis` goes to `state` at `nowMs`.
    void pulseState(const char* axis, PropertyState state, std::int64_t nowMs, const std::string& text = {}) {
        mount.receive(message(MessageKind::Set, axis, PropertyType::Number, state, {}, text), nowMs);
    }
};

TEST_F(MountTest, EachDirectionGoesToItsAxisWithTheOtherDirectionZero) {
    connectedMount();
    const std::pair<GuideDirection, const char*> cases[] = {
        {GuideDirection::East, "TELESCOPE_TIMED_GUIDE_WE\"><oneNumber name=\"TIMED_GUIDE_W\">0</oneNumber>"
                               "<oneNumber name=\"TIMED_GUIDE_E\">250</oneNumber>"},
        {GuideDirection::North, "TELESCOPE_TIMED_GUIDE_NS\"><oneNumber name=\"TIMED_GUIDE_N\">250</oneNumber>"
                                "<oneNumber name=\"TIMED_GUIDE_S\">0</oneNumber>"},
        {GuideDirection::South, "TELESCOPE_TIMED_GUIDE_NS\"><oneNumber name=\"TIMED_GUIDE_N\">0</oneNumber>"
                                "<oneNumber name=\"TIMED_GUIDE_S\">250</oneNumber>"},
    };
    for (const auto& [direction, expected] : cases) {
        sent.clear();
        mount.pulseGuide(direction, 250, catchDone(), 0);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_NE(sent[0].find(expected), std::string::npos) << sent[0];
        const bool we = direction == GuideDirection::West || direction == GuideDirection::East;
        pulseState(we ? kWE : kNS, PropertyState::Idle, 10);
        ASSERT_TRUE(done && done->ok());
    }
}

TEST_F(MountTest, UnansweredPulseTimesOutAndAStuckAxisIsFreedAfterItsPulse) {
    connectedMount();
    mount.pulseGuide(GuideDirection::West, 1000, catchDone(), 0);
    mount.expire(answerLimitMs - 1);
    EXPECT_FALSE(done);
    mount.expire(answerLimitMs);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->failure.number, failureTimeout);
    mount.expire(1000 + answerLimitMs); // the west/east axis is free again once its pulse would have ended
    notices.clear();

    // A disconnected driver answers Busy and never ends the pulse.
    mount.pulseGuide(GuideDirection::North, 1000, catchDone(), 10000);
    pulseState(kNS, PropertyState::Busy, 10010);
    ASSERT_TRUE(done && done->ok());
    mount.pulseGuide(GuideDirection::South, 100, catchDone(), 12000);
    EXPECT_EQ(done->failure.number, failurePulseRunning);
    EXPECT_TRUE(mount.waiting());
    mount.expire(10000 + 1000 + answerLimitMs);
    EXPECT_FALSE(mount.waiting());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("north/south"), std::string::npos);
    mount.pulseGuide(GuideDirection::South, 100, catchDone(), 17000);
    EXPECT_FALSE(done) << "sent, waiting for the device";
}

TEST_F(MountTest, PulseEndingInAlertIsToldToTheOperator) {
    connectedMount();
    mount.pulseGuide(GuideDirection::West, 500, catchDone(), 0);
    pulseState(kWE, PropertyState::Busy, 1);
    pulseState(kWE, PropertyState::Alert, 400, "Motor stalled");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("Motor stalled"), std::string::npos);
    EXPECT_FALSE(mount.waiting());
}

TEST_F(MountTest, PositionOfAMountFoundConnectedNeedsNoWait) {
    // Connecting ourselves waits past the placeholder definition (test_indi_driver's replay); a mount
    // another client connected already defines real coordinates.
    connectedMount();
    mount.receive(define("EQUATORIAL_EOD_COORD", PropertyType::Number, {{"RA", "6.25"}, {"DEC", "0"}}), 0);
    std::optional<Result<double>> ra;
    mount.coordinate(
        true, [&](const Result<double>& r) { ra = r; }, 0);
    ASSERT_TRUE(ra && ra->ok());
    EXPECT_DOUBLE_EQ(*ra->value, 6.25);
}

TEST_F(MountTest, MissingDeviceFailsInWords) { // a lost link: test_indi_driver's vanished server
    mount.linkUp(0);
    mount.open(catchDone(), 0);
    mount.expire(answerLimitMs);
    ASSERT_TRUE(done);
    EXPECT_NE(done->failure.message.find("has no device named \"Mount\""), std::string::npos);
}

TEST(IndiValues, DecimalAndSexagesimalNumbers) {
    const std::pair<const char*, std::optional<double>> numbers[] = {
        {"18.5", 18.5},        {"-1e-3", -0.001},         {"12:30:36", 12.51},
        {"-00:30:00", -0.5},   {"-10 30", -10.5},         {"+5", 5},
        {"", std::nullopt},    {"12::3", std::nullopt},   {"1:-2", std::nullopt},
        {"nan", std::nullopt}, {"1:2:3:4", std::nullopt}, {"12:", std::nullopt},
    };
    for (const auto& [text, value] : numbers) {
        const auto v = parseNumber(text);
        ASSERT_EQ(v.has_value(), value.has_value()) << text;
        if (v) {
            EXPECT_NEAR(*v, *value, 1e-12) << text;
        }
    }
}

// A device shared with another client of the server stays connected when we go; one we connected does not.
TEST_F(MountTest, DisconnectsOnlyADeviceItConnected) {
    connectedMount(); // found connected: another client's
    mount.connect(catchDone(), 0);
    ASSERT_TRUE(done && done->ok());
    EXPECT_FALSE(mount.disconnect());
    EXPECT_TRUE(sent.empty());

    mount.receive(message(MessageKind::Set, "CONNECTION", PropertyType::Switch, PropertyState::Ok,
                          {{"CONNECT", "Off"}, {"DISCONNECT", "On"}}),
                  0);
    mount.connect(catchDone(), 0);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find("name=\"CONNECT\">On"), std::string::npos) << sent[0];
    EXPECT_TRUE(mount.disconnect());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NE(sent[1].find("name=\"DISCONNECT\">On"), std::string::npos) << sent[1];
    EXPECT_FALSE(mount.disconnect()) << "once";
}

} // namespace
