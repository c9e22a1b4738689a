// The analysis against record files from the simulated unit with known periodic error.
#include "RecordText.h"
#include "analysis/Analysis.h"
#include "analysis/Figures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace analysis;
using testrecords::recording;
using testrecords::simulated;

namespace {

// The simulated drive: its harmonics and noise, a steady ramp (polar misalignment) and a small wander.
qelsim::ErrorModel model(double period, double rampPerSecond) {
    qelsim::ErrorModel m;
    m.wormPeriod = period;
    m.driftRate = rampPerSecond;
    m.driftSpread = 0.2;
    return m;
}

double truePeakToPeak(const qelsim::ErrorModel& m) {
    const qelsim::TrackingErrorSignal signal(m, 1, 8.0);
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 10000; ++i) {
        const double v = signal.periodicError(i * m.wormPeriod / 10000);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    return hi - lo;
}

} // namespace

TEST(Analysis, FindsThePeriodAmplitudeAndFoldedCurveFromFourCycles) {
    struct Case {
        double period; // s
        double ramp;   // arcsec/s
        std::uint32_t seed;
    } cases[] = {
        {480.0, 0.003, 1}, {480.0, -0.002, 2}, {480.0, 0.0, 3}, {299.2, 0.002, 4}, {299.2, -0.003, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE("period " + std::to_string(c.period) + " seed " + std::to_string(c.seed));
        const qelsim::ErrorModel m = model(c.period, c.ramp);
        const Analysis a = analyzeRecording(recording(simulated(m, 4.0, c.seed)));
        ASSERT_TRUE(a.hasPeriod);
        EXPECT_TRUE(a.periodTrusted);
        EXPECT_NEAR(a.period, c.period, 0.005 * c.period);
        ASSERT_FALSE(a.harmonics.empty());
        EXPECT_NEAR(a.harmonics[0].amplitude, m.harmonics[0], 0.05 * m.harmonics[0]);
        EXPECT_NEAR(a.foldedPeakToPeak, truePeakToPeak(m), 0.25);
        // The ramp is gone from the figures and shows as the drift rate.
        EXPECT_NEAR(a.driftRate, c.ramp * 60.0, 0.05);
        EXPECT_LT(a.rms, 2.6);
        EXPECT_EQ(std::count_if(a.series.cycles.begin(), a.series.cycles.end(),
                                [](const CycleCurve& cycle) { return cycle.coverage >= 0.9; }),
                  4);
    }
}

TEST(Analysis, AppendedRunsAcrossMidnightKeepTheirOwnDrift) {
    // Two runs of three turns, the second after a gap across midnight with another offset and ramp.
    qelsim::SimulatedRun a, b;
    a.model = model(480.0, 0.004);
    a.seed = 7;
    a.seconds = b.seconds = 3 * 480.0;
    a.start = {2026, 12, 31, 22, 30, 0, 0};
    b.model = model(480.0, -0.004);
    b.model.driftSpread = 0.0;
    b.seed = 8;
    b.start = {2026, 12, 31, 23, 50, 0, 0}; // ten turns later (the worm kept turning), ends after midnight
    std::string lines;
    qelsim::appendSimulatedRun(lines, a);
    qelsim::appendSimulatedRun(lines, b);
    const Recording rec = recording(lines);
    ASSERT_EQ(rec.runs.size(), 2u);
    const Analysis r = analyzeRecording(rec);
    ASSERT_EQ(r.runs.size(), 2u);
    EXPECT_NEAR(r.runs[0].driftRate, 0.24, 0.06);
    EXPECT_NEAR(r.runs[1].driftRate, -0.24, 0.06);
    EXPECT_NEAR(r.recordedSeconds, 2880.0, 1.0);
    EXPECT_NEAR(r.period, 480.0, 2.4);
    EXPECT_NEAR(r.foldedPeakToPeak, truePeakToPeak(a.model), 0.25);
    const std::string text = figureText(figures(r));
    EXPECT_NE(text.find("Run 2: 2026-Dec-31 23:50:00 to 2027-Jan-01 00:13:59"), std::string::npos) << text;
}

TEST(Analysis, FewerThanTwoCyclesSayTheyCannotBeTrusted) {
    const qelsim::ErrorModel m = model(480.0, 0.001);
    const Recording rec = recording(simulated(m, 1.6, 3));
    const Analysis a = analyzeRecording(rec);
    EXPECT_FALSE(a.periodTrusted);
    const std::vector<Figure> f = figures(a);
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(f[0].label, "Worm period");
    EXPECT_EQ(f[0].value.rfind("cannot be trusted (too few cycles", 0), 0u) << f[0].value;

    // A period the operator gives is used as it is.
    AnalysisOptions given;
    given.period = 480.0;
    const Analysis b = analyzeRecording(rec, given);
    EXPECT_TRUE(b.periodTrusted);
    EXPECT_EQ(figures(b)[0].value, "480.00 s");
}

TEST(Analysis, WritesTheFoldedCurveAsCsvAndComparesTwoFiles) {
    const qelsim::ErrorModel before = model(480.0, 0.0);
    qelsim::ErrorModel after = before;
    for (double& h : after.harmonics)
        h *= 0.25; // periodic-error correction took out three quarters
    const Analysis x = analyzeRecording(recording(simulated(before, 4.0, 11)));
    const Analysis y = analyzeRecording(recording(simulated(after, 4.0, 12)));

    const std::string csv = foldedCsv(x.series.folded);
    EXPECT_EQ(csv.rfind("phase_s,phase_deg,mean_arcsec,spread_arcsec\n", 0), 0u);
    EXPECT_EQ(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')), x.series.folded.bins() + 1);
    EXPECT_EQ(csv.find(';'), std::string::npos);

    const std::vector<Figure> rows = comparison(x, y);
    const auto fundamental = std::find_if(rows.begin(), rows.end(),
                                          [](const Figure& f) { return f.label == "Fundamental amplitude"; });
    ASSERT_NE(fundamental, rows.end());
    const double ratio = std::stod(fundamental->value.substr(fundamental->value.rfind(' ') + 1));
    EXPECT_NEAR(ratio, 0.25, 0.03);
}

TEST(Analysis, CountsClippedReadings) {
    qelsim::ErrorModel m = model(480.0, 0.0);
    m.harmonics = {14.0, 2.0, 0.0}; // beyond the unit's +-16 arcsec at the peaks
    const Analysis a = analyzeRecording(recording(simulated(m, 2.0, 5)));
    EXPECT_GT(a.clipped, 100u);
}
