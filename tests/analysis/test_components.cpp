// The refined period, its standard error, the components found by prewhitening and what a correction would
// leave, on record files made from known drives.
#include "RecordText.h"
#include "analysis/Analysis.h"
#include "analysis/Figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace analysis;

namespace {

struct Sine {
    double period;    // s
    double amplitude; // arcsec
};

// The simulated drive's readings plus sinusoids of their own (gears that are not the worm).
Recording record(const qelsim::ErrorModel& model, double seconds, std::uint32_t seed,
                 const std::vector<Sine>& extra = {}) {
    qelsim::TrackingErrorSignal signal(model, seed, 8.0);
    return testrecords::recording(testrecords::recordLines(seconds, [&](double at) {
        double te = signal.next();
        for (const Sine& s : extra)
            te += s.amplitude * std::sin(2.0 * std::numbers::pi * at / s.period + 0.7);
        return te;
    }));
}

qelsim::ErrorModel drive(double period, double noise, double wander) {
    qelsim::ErrorModel m;
    m.wormPeriod = period;
    m.noise = noise;
    m.driftSpread = wander;
    return m;
}

} // namespace

TEST(Analysis, CleanRecordsGiveThePeriodWithinAThousandthOfAPercent) {
    // No noise, no drift: what is left is the unit's 1/8 arcsec step. An unrefined period misses by 0.1 % and
    // more (the spectrum's grid), so this tells a refined period from a guess.
    for (const double period : {150.0, 239.3, 299.2})
        for (const double turns : {4.0, 8.0, 12.0}) {
            SCOPED_TRACE(std::to_string(period) + " s, " + std::to_string(turns) + " turns");
            const Analysis a = analyzeRecording(record(drive(period, 0.0, 0.0), turns * period, 1));
            ASSERT_TRUE(a.hasPeriod);
            EXPECT_NEAR(a.period, period, 1e-5 * period);
        }
}

TEST(Analysis, ListsTheWormsHarmonicsAndNoSidelobes) {
    // 31 minutes of a 359 s worm: the spectrum's peak has sidelobes near 282 s and 491 s.
    const Analysis a = analyzeRecording(record(drive(359.0, 0.3, 0.2), 1860.0, 3));
    ASSERT_GE(a.components.size(), 3u);
    for (const ComponentFigure& c : a.components)
        EXPECT_GT(c.wormHarmonic, 0) << c.period << " s, " << c.amplitude << " arcsec";
    EXPECT_EQ(a.components[0].wormHarmonic, 1);
    EXPECT_NEAR(a.components[0].amplitude, 3.0, 0.15);
}

TEST(Analysis, FindsComponentsThatAreNotWormHarmonics) {
    // A 299.2 s worm: 127 s lies two resolution widths from its 2nd and 3rd harmonics (beside a 359 s or 480
    // s worm it would sit within one of the 3rd or 4th, which 31 minutes cannot tell apart).
    const std::vector<Sine> gears = {{127.0, 0.6}, {41.0, 0.3}};
    const Analysis a = analyzeRecording(record(drive(299.2, 0.3, 0.2), 1860.0, 4, gears));
    std::vector<ComponentFigure> others;
    for (const ComponentFigure& c : a.components)
        if (c.wormHarmonic == 0)
            others.push_back(c);
    ASSERT_EQ(others.size(), 2u) << figureText(figures(a));
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(others[i].period, gears[i].period, 0.01 * gears[i].period);
        EXPECT_NEAR(others[i].amplitude, gears[i].amplitude, 0.15 * gears[i].amplitude);
        EXPECT_NEAR(others[i].wormRatio, 299.2 / gears[i].period, 0.05);
    }
    const std::string text = figureText(figures(a));
    EXPECT_NE(text.find("not a worm harmonic (worm period / 2.35"), std::string::npos) << text;
    EXPECT_NE(text.find("worm \u00d7 2"), std::string::npos) << text;

    // A perfect correction takes out the worm's curve only: the gears stay, RMS sqrt(0.3^2 + (0.6^2 + 0.3^2)
    // / 2).
    EXPECT_NEAR(a.correctedRms, std::sqrt(0.09 + 0.225), 0.04);
}

TEST(Analysis, TheTruePeriodLiesWithinThreeStandardErrors) {
    // Five turns with noise and the mount's slow wander, which puts far more noise near the worm's period
    // than white noise of the same RMS would: the error must say so.
    int within = 0;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        const Analysis a = analyzeRecording(record(drive(240.0, 0.3, 0.2), 5 * 240.0, seed));
        ASSERT_GT(a.periodError, 0.0);
        within += std::abs(a.period - 240.0) <= 3.0 * a.periodError;
    }
    EXPECT_GE(within, 19);
}

TEST(Analysis, TheStandardErrorShrinksAsTurnsAreAdded) {
    double last = INFINITY;
    for (const double turns : {4.0, 8.0, 12.0}) {
        const Analysis a = analyzeRecording(record(drive(240.0, 0.3, 0.2), turns * 240.0, 9));
        EXPECT_LT(a.periodError, last) << turns << " turns";
        EXPECT_GT(a.periodErrorScale, 1.0);
        ASSERT_FALSE(a.harmonics.empty());
        EXPECT_GT(a.harmonics[0].amplitudeError, 0.0);
        last = a.periodError;
    }
}

TEST(Analysis, SaysWhatACorrectionOfTheStrongestHarmonicsWouldLeave) {
    // Harmonics 3, 0.7 and 0.3 arcsec over white noise of 0.3: each step takes one harmonic's A^2 / 2 away.
    const Analysis a = analyzeRecording(record(drive(480.0, 0.3, 0.0), 4 * 480.0, 2));
    ASSERT_EQ(a.strongest.size(), 3u);
    const double expected[] = {std::sqrt(0.09 + (0.49 + 0.09) / 2), std::sqrt(0.09 + 0.09 / 2), 0.3};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(a.strongest[k].orders.size(), k + 1);
        EXPECT_EQ(a.strongest[k].orders.back(), static_cast<int>(k + 1));
        EXPECT_NEAR(a.strongest[k].rms, expected[k], 0.03);
    }
    EXPECT_NEAR(a.correctedRms, 0.3, 0.03);
    const std::string text = figureText(figures(a));
    EXPECT_NE(text.find("RMS after correcting 2 harmonics: 0.3"), std::string::npos) << text;
}
