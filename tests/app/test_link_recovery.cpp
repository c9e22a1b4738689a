// The words for a link to the QEL unit lost and restored during a run: the state line
// an operator coming back to the telescope reads in the tooltips and the message.
#include "app/LinkRecovery.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

app::LinkMoment at(std::chrono::milliseconds sinceStart, common::LocalTime local) {
    return {std::chrono::steady_clock::time_point(sinceStart), local};
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

// A night's gap across midnight: lost, tried in vain, back; and a second loss that Stop ends.
TEST(LinkRecovery, StateLineFollowsTheAttemptsAndTheMessagesNameTheGap) {
    app::LinkRecovery link;
    EXPECT_EQ(link.status(), "");
    EXPECT_FALSE(link.trying());

    link.lost("port 1 (COM1 \u2192 /dev/ttyUSB0)", at(0ms, {2013, 1, 5, 23, 59, 58, 42}));
    EXPECT_TRUE(link.trying());
    const std::string told = link.lostMessage();
    EXPECT_TRUE(has(told, "on port 1 (COM1 \u2192 /dev/ttyUSB0) was lost at 23:59:58") &&
                has(told, "trying every second") && has(told, "Stop"))
        << told;
    EXPECT_EQ(link.status(), "Link lost at 23:59:58; trying again every 1 s");

    const char* notThere = "/w/COM1 leads to /dev/serial/by-id/usb-QEL-if00, which is not there";
    link.attemptFailed(notThere, {2013, 1, 6, 0, 0, 1, 0});
    link.attemptFailed(notThere, {2013, 1, 6, 0, 3, 17, 5});
    EXPECT_EQ(link.status(),
              std::string("Link lost at 23:59:58; trying again every 1 s, last attempt 00:03:17: ") +
                  notThere);

    const std::string back =
        link.restored("port 1 (COM1 \u2192 /dev/ttyUSB1)", at(1h + 2min + 3s, {2013, 1, 6, 1, 2, 1, 0}));
    EXPECT_FALSE(link.trying());
    EXPECT_TRUE(has(back, "on port 1 (COM1 \u2192 /dev/ttyUSB1) is back since 01:02:01, after a gap of "
                          "1 h 02 min 03 s (lost at 23:59:58)"))
        << back;
    EXPECT_EQ(link.status(), "");

    link.lost("port 1 (COM1 \u2192 /dev/ttyUSB1)", at(2h, {2013, 1, 6, 2, 0, 0, 0}));
    link.attemptFailed("/dev/ttyUSB1: Permission denied", {2013, 1, 6, 2, 0, 1, 0});
    link.stopped({2013, 1, 6, 2, 0, 1, 50});
    EXPECT_FALSE(link.trying());
    EXPECT_EQ(link.status(),
              "Link lost at 02:00:00; Stop ended the trying at 02:00:01 (last attempt 02:00:01: "
              "/dev/ttyUSB1: Permission denied)");
    link.stopped({2013, 1, 6, 2, 5, 0, 0}); // a second Stop changes nothing
    EXPECT_TRUE(has(link.status(), "at 02:00:01 ("));
}
