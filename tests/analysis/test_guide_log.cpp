// The guide log: its lines, the sum of the pulses, and the mount's own error rebuilt from a guided record of
// a simulated drive guided by a P controller.
#include "RecordText.h"
#include "analysis/Analysis.h"
#include "analysis/Figures.h"
#include "analysis/GuideLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

using namespace analysis;

TEST(GuideLog, ReadsEachLineOrSaysWhyNot) {
    const struct {
        std::string line;
        PulseOutcome outcome;
        double correction; // arcsec
        std::string detail;
    } readable[] = {
        {"2013-Jan-05 21:14:07.42 TE 1.125 U 0.845 RA E 113 RATE 0.500 sent", PulseOutcome::Sent, 0.8475, ""},
        {"2013-Jan-05 21:14:07.42 TE -1.125 U -0.845 RA W 113 RATE 0.500 sent", PulseOutcome::Sent, -0.8475,
         ""},
        {"2013-Jan-05 21:14:07.62 TE 1.000 U 0.750 RA W 100 RATE 0.500 refused 0x40B", PulseOutcome::Refused,
         0.0, "0x40B"},
        {"2013-Jan-05 21:14:07.82 TE 1.000 U 0.750 RA E 100 RATE 0.500 skipped busy", PulseOutcome::Skipped,
         0.0, "busy"},
        {"2013-Jan-05 21:14:08.02 TE - U - RA - 0 RATE - skipped no-reading", PulseOutcome::Skipped, 0.0,
         "no-reading"},
    };
    // A good line with one piece changed, and why it cannot be read then.
    const std::string good = "2013-Jan-05 21:14:07.42 TE 1.125 U 0.845 RA E 113 RATE 0.500 sent";
    const struct {
        std::string from, to, fault;
    } faulty[] = {
        {" sent", "", "cut short"},
        {"Jan", "Xyz", "impossible date"},
        {"TE 1.125", "TE 1,125", "the tracking error is not a number"},
        {"U 0.845", "U x", "the controller output is not a number"},
        {"RA E", "RA N", "the RA direction is not E, W or -"},
        {"113", "-5", "the pulse length is not a number of milliseconds"},
        {"RATE 0.500", "RATE fast", "the guide rate is not a number"},
        {"E 113", "- 0", "a sent pulse without a direction or a rate"},
        {"sent", "sent twice", "text after \"sent\""},
        {"sent", "refused", "\"refused\" without a reason"},
        {"sent", "lost", "the outcome is not sent, refused or skipped"},
        {"U 0.845", "X 0.845", "the fields are not TE, U, RA and RATE"},
    };
    const MonthLookup months;
    StampParser stamps(months);
    std::string text;
    for (const auto& c : readable) {
        SCOPED_TRACE(c.line);
        GuideLine g;
        EXPECT_EQ(parseGuideLine(c.line, stamps, g), "");
        EXPECT_EQ(g.outcome, c.outcome);
        EXPECT_NEAR(g.correction(), c.correction, 1e-9);
        EXPECT_EQ(g.detail, c.detail);
        text += c.line + "\r\n";
    }
    for (const auto& [from, to, fault] : faulty) {
        const std::string line = std::string(good).replace(good.find(from), from.size(), to);
        GuideLine g;
        EXPECT_EQ(parseGuideLine(line, stamps, g), fault) << line;
        text += line + "\r\n";
    }

    // A file: bad lines by number, only sent pulses kept, the time span.
    const GuideLogResult r = readGuideLogText(text, {});
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.log.sent.size(), 2u);
    EXPECT_EQ(r.log.refused, 1u);
    EXPECT_EQ(r.log.skipped, 2u);
    EXPECT_EQ(r.log.badLineCount, std::size(faulty));
    EXPECT_EQ(r.log.badLines.front().lineNumber, 6u);
    EXPECT_DOUBLE_EQ(r.log.lastSecondOfDay, 21 * 3600 + 14 * 60 + 8.02);
    EXPECT_NE(readGuideLogText("nonsense\r\n", {}).error.find("line 1: "), std::string::npos);
    EXPECT_NE(readGuideLog("/no/such/guide.log", {}).error.find("/no/such/guide.log"), std::string::npos);
}

TEST(GuideLog, SpreadsEachPulseOverItsLength) {
    Recording rec;
    rec.firstDayNumber = 100;
    rec.seconds = {9.0, 10.0, 10.1, 10.2, 10.5, 20.0, 86400.0 + 5.0};
    rec.codes.assign(rec.seconds.size(), 127);
    GuideLog log;
    log.sent = {{100, 10.0, 0.2, 1.5}, {100, 15.0, 0.0, -0.5}, {101, 1.0, 1.0, 2.0}};
    const std::vector<double> moved = guideCorrection(rec, log);
    const double expected[] = {0.0, 0.0, 0.75, 1.5, 1.5, 1.0, 3.0};
    for (std::size_t i = 0; i < rec.size(); ++i)
        EXPECT_NEAR(moved[i], expected[i], 1e-9) << "at " << rec.seconds[i] << " s";
}

namespace {

// A drive whose periodic error a P controller (gain 0.7, guide rate 0.5) guides out: the record of what the
// unit saw and the guide log of the pulses, as the recorder would write them.
struct GuidedRun {
    std::string record, guideLog;
};

GuidedRun guidedRun(const qelsim::ErrorModel& drive, double seconds) {
    qelsim::TrackingErrorSignal own(drive, 5, 8.0);
    const common::TimeStampFormatter stamps;
    struct Pulse {
        double start, length, correction;
    };
    std::vector<Pulse> pulses;
    GuidedRun run;
    int k = 0;
    run.record = testrecords::recordLines(seconds, [&](double t) {
        double moved = 0.0;
        for (const Pulse& p : pulses)
            moved += p.correction * std::clamp((t - p.start) / p.length, 0.0, 1.0);
        const double te = own.next() - moved;
        if (k++ % 8 != 7)
            return te;
        // The control tick, once a second on the last reading.
        const double reading = (127 - qelsim::encodeReading(te)) * 0.125, u = 0.7 * reading, tick = t + 0.05;
        const int ms = static_cast<int>(std::lround(std::abs(u) / 7.5 * 1000.0));
        const bool refused = k % 400 == 8; // the mount said no: nothing moved
        if (!refused)
            pulses.push_back({tick, ms / 1000.0, (u > 0 ? 7.5 : -7.5) * ms / 1000.0});
        run.guideLog += stamps.stamp(qelsim::addSeconds(testrecords::kStart, tick)) + " TE " +
                        fixed(reading, 3) + " U " + fixed(u, 3) + " RA " + (u > 0 ? "E " : "W ") +
                        std::to_string(ms) + " RATE 0.500 " + (refused ? "refused 0x40B\r\n" : "sent\r\n");
        return te;
    });
    return run;
}

} // namespace

TEST(GuideLog, RebuildsTheMountsOwnErrorFromAGuidedRecord) {
    qelsim::ErrorModel drive;
    drive.wormPeriod = 300.0;
    drive.driftSpread = 0.0;
    const GuidedRun run = guidedRun(drive, 5 * 300.0);
    testsupport::TempDir dir;
    const std::string record = dir.file("guided.txt"), log = dir.file("guided-log.txt");
    std::ofstream(record, std::ios::binary) << run.record;
    std::ofstream(log, std::ios::binary) << run.guideLog;

    // Guided, the worm's error is mostly gone from the record.
    const AnalysisResult guided = analyzeFile(record, {});
    ASSERT_TRUE(guided.error.empty()) << guided.error;
    const Analysis& g = guided.analysis;
    EXPECT_TRUE(g.harmonics.empty() || g.harmonics[0].amplitude < 0.3) << figureText(figures(g));

    AnalysisOptions options;
    options.guideLog = log;
    const AnalysisResult rebuilt = analyzeFile(record, options);
    ASSERT_TRUE(rebuilt.error.empty()) << rebuilt.error;
    const Analysis& a = rebuilt.analysis;
    ASSERT_TRUE(a.hasPeriod);
    EXPECT_NEAR(a.period, 300.0, 3.0);
    ASSERT_FALSE(a.harmonics.empty());
    EXPECT_NEAR(a.harmonics[0].amplitude, 3.0, 0.3);
    ASSERT_TRUE(a.guide.has_value());
    EXPECT_EQ(a.guide->refused, 30u); // one tick in fifty
    const std::vector<Figure> f = figures(a);
    EXPECT_EQ(f[0].label, "Worm period");
    EXPECT_EQ(f[1].label, "Guiding taken out");
    EXPECT_NE(f[1].value.find(log), std::string::npos) << f[1].value; // a missing log: test_qel_te_analyze
}
