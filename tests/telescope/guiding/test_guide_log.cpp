// The guide log as the recorder writes it, read back by qel-te-analyze's reader: each tick's outcome in
// words, and only sent pulses counted as moving the mount (an east pulse takes the tracking error back down).
#include "analysis/GuideLog.h"
#include "telescope/guiding/GuideLog.h"

#include <gtest/gtest.h>

using namespace telescope;

TEST(GuideLog, EveryFateInWords) {
    const std::pair<PulseFate, const char*> cases[] = {
        {{PulseFate::Sent, {}}, "sent"},
        {{PulseFate::Refused, {0x40B, "A pulse is still running"}}, "refused 0x40B"},
        {{PulseFate::Refused, {500, "HTTP 500"}}, "refused 500"},
        {{PulseFate::Refused, {failureTimeout, "no answer"}}, "refused timeout"},
        {{PulseFate::NotConnected, {}}, "skipped not-connected"},
        {{PulseFate::Parked, {}}, "skipped parked"},
        {{PulseFate::Cancelled, {}}, "skipped cancelled"},
    };
    for (const auto& [fate, words] : cases)
        EXPECT_EQ(fateOutcome(fate), words);
    EXPECT_EQ(skippedOutcome(TickOutcome::CallsInFlight), "skipped busy");
    EXPECT_EQ(skippedOutcome(TickOutcome::StaleReading), "skipped stale-reading");
}

TEST(GuideLog, TheRecordersLinesReadBackAsThePulsesSent) {
    const std::optional<LatestReading> reading = LatestReading{1.125, std::chrono::milliseconds(0)};
    const GuideRates rates{0.5, 0.5};
    TickDecision east;
    east.outcome = TickOutcome::Send;
    east.correction = 0.845;
    east.ra = {GuideDirection::East, 113};
    TickDecision west = east;
    west.correction = -0.75;
    west.ra = {GuideDirection::West, 100};
    TickDecision none; // no reading yet: the controller did not run
    const std::string sent = guideLogFields(east, reading, rates) + fateOutcome({PulseFate::Sent, {}});
    EXPECT_EQ(sent, "TE 1.125 U 0.845 RA E 113 RATE 0.500 sent");

    const std::string text = "2013-Jan-05 21:14:07.42 " + sent + "\r\n" + "2013-Jan-05 21:14:07.62 " +
                             guideLogFields(west, reading, rates) +
                             fateOutcome({PulseFate::Refused, {0x40B, "overlap"}}) + "\r\n" +
                             "2013-Jan-05 21:14:07.82 " + guideLogFields(none, std::nullopt, rates) +
                             skippedOutcome(TickOutcome::NoReading) + "\r\n";
    const analysis::GuideLogResult read = analysis::readGuideLogText(text, {common::englishMonthNames()});
    ASSERT_TRUE(read.error.empty()) << read.error;
    EXPECT_EQ(read.log.badLineCount, 0u);
    EXPECT_EQ(read.log.lines, 3u);
    EXPECT_EQ(read.log.refused, 1u);
    EXPECT_EQ(read.log.skipped, 1u);
    ASSERT_EQ(read.log.sent.size(), 1u);
    EXPECT_NEAR(read.log.sent[0].correction, 0.5 * 15 * 0.113, 1e-9); // 0.8475": the error it takes back
    EXPECT_NEAR(read.log.sent[0].length, 0.113, 1e-9);
}
