// The order of connecting a telescope: the steps of a connection, the guide rates written, a lost mount
// restored, and identifiers of both backends. A cancelled chooser and failed connections on the window:
// tst_telescope_link.
#include "telescope/Connection.h"
#include "telescope/DriverId.h"

#include <gtest/gtest.h>

namespace {

using namespace telescope;
using A = ConnectionAction;

std::vector<A> actions(const ConnectionSteps& steps) {
    std::vector<A> out;
    for (const auto& s : steps)
        out.push_back(s.action);
    return out;
}

const Result<Done> ok = Result<Done>::success(Done{});
const std::string kId = "alpaca://127.0.0.1:11111/telescope/0";

// A connection brought up to the guide-rate question.
Connection connectedUpToRates() {
    Connection c;
    c.check2Changed(true);
    c.chooserClosed(kId);
    c.driverOpened(ok);
    c.mountConnected(ok);
    return c;
}

TEST(Connection, TheOrderOfASuccessfulConnection) {
    Connection c;
    c.check2Changed(true);
    EXPECT_EQ(actions(c.chooserClosed(kId)), (std::vector{A::CreateDriver, A::MarkSettingsChanged}));
    // The log line follows the device's answer, so it never claims a connection that was not made.
    const auto opened = c.driverOpened(ok);
    EXPECT_EQ(actions(opened), (std::vector{A::LogEstablished, A::ConnectMount}));
    EXPECT_EQ(opened[0].text, kId);
    EXPECT_EQ(actions(c.mountConnected(ok)), (std::vector{A::ReadCanSetGuideRates}));
    const auto rates = c.canSetGuideRatesRead(Result<bool>::success(true), 0.5);
    EXPECT_EQ(actions(rates), (std::vector{A::WriteGuideRates}));
    EXPECT_EQ(rates[0].value, 0.5); // the multiple itself: the driver converts to its own unit
    // Polling and guiding start only once the mount has its guide rates.
    EXPECT_EQ(actions(c.guideRatesWritten(ok, ok)), (std::vector{A::StartPoll, A::ReadGuideRates}));
    // 0.0020833 deg/s is how devices write 0.5 x 15"/s: no news.
    EXPECT_TRUE(c.guideRatesRead(Result<double>::success(0.499992), Result<double>::success(0.5)).empty());
    EXPECT_EQ(c.stage(), ConnectionStage::Connected);
}

TEST(Connection, GuideRateTable) {
    const Failure invalid{0x401, "Invalid value"};
    Connection unknown = connectedUpToRates();
    EXPECT_EQ(actions(unknown.canSetGuideRatesRead(Result<bool>::failed(invalid), 0.5)),
              (std::vector{A::TellOperator, A::StartPoll}));

    Connection refused = connectedUpToRates();
    refused.canSetGuideRatesRead(Result<bool>::success(true), 1.0);
    const auto written = refused.guideRatesWritten(Result<Done>::failed(invalid), ok);
    EXPECT_EQ(actions(written), (std::vector{A::TellOperator, A::StartPoll, A::ReadGuideRates}));
    EXPECT_NE(written[0].text.find("RA guide rate"), std::string::npos);
    // A mount that snaps the rate is told with four digits.
    const auto snapped =
        refused.guideRatesRead(Result<double>::success(0.9975), Result<double>::success(1.0));
    ASSERT_EQ(actions(snapped), (std::vector{A::TellOperator}));
    EXPECT_NE(snapped[0].text.find("RA 0.9975 and Dec 1 x 15\"/s, not the 1 written"), std::string::npos)
        << snapped[0].text;
    // A fixed-rate mount (List8 hidden): tst_telescope_link.
}

// The next attempt preselects the last identifier; a cancelled chooser empties it. (Cleared while the device
// is being reached, with its late answer: tst_telescope_link.)
TEST(Connection, TheNextAttemptPreselectsTheLastChoice) {
    Connection c;
    c.check2Changed(true);
    c.chooserClosed(kId);
    c.check2Changed(false);
    EXPECT_EQ(c.check2Changed(true)[1].text, kId);
    c.chooserClosed("");
    c.check2Changed(false);
    EXPECT_EQ(c.check2Changed(true)[1].text, "");
}

TEST(Connection, ALostMountIsRestoredWithoutTheChooserOrLogLines) {
    Connection c = connectedUpToRates();
    c.canSetGuideRatesRead(Result<bool>::success(true), 0.5);
    c.guideRatesWritten(ok, ok);
    EXPECT_TRUE(c.mountLost("whatever").size() == 3 && c.restoring());
    // Lost once more is no news while it is being restored; clear the slate for the table below.
    EXPECT_TRUE(c.mountLost("again").empty());

    const Result<Done> refused = Result<Done>::failed({failureUnreachable, "connection refused"});
    // Attempts after 1 s, then 2, 4, 8 ... up to every 30 s; an attempt that fails releases its driver.
    for (const int next : {2, 4, 8, 16, 30, 30}) {
        EXPECT_EQ(actions(c.retryDue()), (std::vector{A::CreateDriver}));
        const auto failed = c.driverOpened(refused);
        EXPECT_EQ(actions(failed), (std::vector{A::ReleaseDriver, A::ReportRetryFailed, A::ScheduleRetry}));
        EXPECT_EQ(failed[1].text, "connection refused");
        EXPECT_EQ(failed[2].value, next);
    }
    // The whole sequence again, without log lines; the mount is back once the rates are answered.
    c.retryDue();
    EXPECT_EQ(actions(c.driverOpened(ok)), (std::vector{A::ConnectMount}));
    EXPECT_EQ(actions(c.mountConnected(ok)), (std::vector{A::ReadCanSetGuideRates}));
    EXPECT_EQ(actions(c.canSetGuideRatesRead(Result<bool>::success(true), 0.5)),
              (std::vector{A::WriteGuideRates}));
    EXPECT_EQ(actions(c.guideRatesWritten(ok, ok)),
              (std::vector{A::StartPoll, A::ReportRestored, A::ReadGuideRates}));
    EXPECT_FALSE(c.restoring());

    // Lost again: the first attempt after 1 s. Clearing Check2 ends the trying, with no log line.
    EXPECT_EQ(c.mountLost("gone").back().value, 1);
    c.retryDue();
    const auto cleared = c.check2Changed(false);
    EXPECT_EQ(actions(cleared), (std::vector{A::ReleaseDriver, A::CancelRetry, A::ClearCheck5, A::StopPoll,
                                             A::MarkSettingsChanged}));
    EXPECT_TRUE(c.retryDue().empty());
}

TEST(Connection, WordsWhileAMountIsRestored) {
    EXPECT_EQ(mountLostText(kId, "three position reads in a row failed")
                  .rfind("The mount " + kId + " was lost: three position reads in a row failed\n\n", 0),
              0u);
    EXPECT_EQ(retryStateText(4, "12:03:17", "connection refused"),
              "Trying again every 4 s, last attempt 12:03:17: connection refused");
    EXPECT_EQ(mountRestoredText(kId, "12:05:01", std::chrono::seconds(104)),
              "The mount " + kId +
                  " is back since 12:05:01, after 1 min 44 s away: the position is read and "
                  "guiding goes on.");
}

TEST(DriverId, IdentifiersOfBothBackendsRoundTrip) {
    const std::pair<const char*, DriverId> good[] = {
        {"alpaca://127.0.0.1:11111/telescope/0", {Backend::Alpaca, "127.0.0.1", 11111, 0, ""}},
        {"alpaca://mount.local:32323/telescope/4294967295",
         {Backend::Alpaca, "mount.local", 32323, 4294967295u, ""}},
        {"indi://127.0.0.1:7624/Telescope Simulator",
         {Backend::Indi, "127.0.0.1", 7624, 0, "Telescope Simulator"}},
        {"indi://127.0.0.1:7624/EQMod Mount/2", {Backend::Indi, "127.0.0.1", 7624, 0, "EQMod Mount/2"}},
    };
    for (const auto& [text, expected] : good) {
        EXPECT_EQ(parseDriverId(text), expected) << text;
        EXPECT_EQ(formatDriverId(expected), text);
    }
    for (const char* bad :
         {"", "ASCOM.Simulator.Telescope", "alpaca://127.0.0.1/telescope/0",
          "alpaca://127.0.0.1:0/telescope/0", "alpaca://127.0.0.1:65536/telescope/0",
          "alpaca://127.0.0.1:11111/camera/0", "alpaca://127.0.0.1:11111/telescope/",
          "alpaca://127.0.0.1:11111/telescope/-1", "alpaca://127.0.0.1:11111/telescope/99999999999",
          "indi://127.0.0.1:7624/", "indi://:7624/Mount", "http://127.0.0.1:11111/telescope/0"})
        EXPECT_FALSE(parseDriverId(bad)) << bad;
}

} // namespace
