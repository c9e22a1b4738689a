// The sweep buffer and its statistics: boundaries, the slow-rate window and the fast-rate accumulation.
#include "acquisition/Sweep.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace acquisition;

TEST(Sweep, DisplaySizes) {
    const struct {
        double chosen;
        bool taken;
        int displaySamples; // afterwards, starting from 240
    } cases[] = {{120, true, 120},  {480, true, 480}, {1920, true, 1920},
                 {100, false, 240}, {0, false, 240},  {120.5, false, 240}};
    for (const auto& c : cases) {
        Sweep sweep;
        sweep.chooseDisplaySize(240);
        sweep.chart(3.0, ChartRate::Fast);
        EXPECT_EQ(sweep.chooseDisplaySize(c.chosen), c.taken) << c.chosen;
        EXPECT_EQ(sweep.state().displaySamples, c.displaySamples) << c.chosen;
        EXPECT_EQ(sweep.state().displayBuffer.size(), static_cast<std::size_t>(c.displaySamples) + 1);
        // Any choice clears the trace and the statistics.
        EXPECT_EQ(sweep.state().displayBuffer[0], 0.0) << c.chosen;
        EXPECT_EQ(sweep.state().sampleCount, 0);
        EXPECT_EQ(sweep.state().teSum, 0.0);
    }
}

TEST(Sweep, BoundaryDropsOneReadingAndStartsAgainAtTheLeft) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    for (int i = 0; i < 121; ++i) // indices 0..120
        ASSERT_EQ(sweep.chart(i * 0.125 - 8.0, ChartRate::Slow), SweepStep::Stored) << i;
    EXPECT_EQ(sweep.state().sampleCount, 121);
    EXPECT_NE(sweep.state().teStdDev, 0.0);

    EXPECT_EQ(sweep.chart(5.0, ChartRate::Slow), SweepStep::SweepClosed); // the 122nd only resets
    EXPECT_EQ(sweep.state().sampleCount, 0);
    EXPECT_EQ(sweep.state().teStdDev, 0.0);
    EXPECT_EQ(sweep.state().displayBuffer[0], -8.0); // the old trace stays until overwritten
    EXPECT_EQ(sweep.state().displayBuffer[120], 7.0);

    EXPECT_EQ(sweep.chart(6.0, ChartRate::Slow), SweepStep::Stored); // the 123rd is stored at index 0
    EXPECT_EQ(sweep.state().displayBuffer[0], 6.0);
    EXPECT_EQ(sweep.state().sampleCount, 1);
}

TEST(Sweep, SlowRateWindowStartsAtTheSixteenthReading) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    sweep.chart(-16.0, ChartRate::Slow); // index 0: outside the first window
    for (int i = 1; i <= 14; ++i) {
        sweep.chart(i, ChartRate::Slow);
        ASSERT_EQ(sweep.state().teMean, 0.0) << "figures keep their reset values up to the 15th reading";
        ASSERT_EQ(sweep.state().teStdDev, 0.0);
    }
    sweep.chart(15.0, ChartRate::Slow); // 16th reading: window indices 1..15 = 1, 2, ..., 15
    EXPECT_DOUBLE_EQ(sweep.state().teSum, 120.0);
    EXPECT_DOUBLE_EQ(sweep.state().teMean, 8.0);
    EXPECT_DOUBLE_EQ(sweep.state().teSquareSum, 280.0);
    EXPECT_DOUBLE_EQ(sweep.state().teStdDev, std::sqrt(280.0 / 15.0)); // population divisor

    sweep.chart(16.0, ChartRate::Slow); // 17th: indices 2..16, the window slides
    EXPECT_DOUBLE_EQ(sweep.state().teMean, 9.0);
    EXPECT_DOUBLE_EQ(sweep.state().teSquareSum, 280.0);

    Sweep equal;
    equal.chooseDisplaySize(120);
    for (int i = 0; i < 16; ++i)
        equal.chart(2.5, ChartRate::Slow);
    EXPECT_EQ(equal.state().teMean, 2.5);
    EXPECT_EQ(equal.state().teStdDev, 0.0);
}

TEST(Sweep, FastRateAccumulatesOverTheSweep) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    sweep.chart(4.0, ChartRate::Fast);
    EXPECT_EQ(sweep.state().teMean, 4.0);
    EXPECT_EQ(sweep.state().teStdDev, 0.0);
    sweep.chart(0.0, ChartRate::Fast);
    EXPECT_EQ(sweep.state().teSum, 4.0);
    EXPECT_EQ(sweep.state().teMean, 2.0);
    EXPECT_EQ(sweep.state().teSquareSum, 4.0);
    EXPECT_DOUBLE_EQ(sweep.state().teStdDev, std::sqrt(2.0));

    for (int i = 2; i < 121; ++i)
        sweep.chart(1.0, ChartRate::Fast);
    sweep.chart(1.0, ChartRate::Fast); // closes the sweep
    sweep.chart(-3.0, ChartRate::Fast);
    EXPECT_EQ(sweep.state().teMean, -3.0); // the new sweep's figures start from nothing
    EXPECT_EQ(sweep.state().teStdDev, 0.0);
}

TEST(Sweep, DerivedFigures) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    sweep.chart(4.0, ChartRate::Fast);
    sweep.chart(0.0, ChartRate::Fast);
    EXPECT_DOUBLE_EQ(sweep.predictionInterval(), 2.0 * std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(sweep.rmsFigure(), std::sqrt(2.0) / 2.828427125);
}

TEST(Sweep, WithoutADisplaySizeNothingIsStored) {
    Sweep sweep; // no size chosen: no buffer to write into
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sweep.chart(1.0, i % 2 ? ChartRate::Fast : ChartRate::Slow), SweepStep::NoBuffer);
    EXPECT_EQ(sweep.state().sampleCount, 0);
    EXPECT_TRUE(sweep.state().displayBuffer.empty());
}

TEST(Sweep, ClearTraceZeroesEveryPointAndResetKeepsTheTrace) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    for (int i = 0; i < 121; ++i)
        sweep.chart(1.5, ChartRate::Slow);
    sweep.resetStatistics(); // as a Check3 change does
    EXPECT_EQ(sweep.state().displayBuffer[60], 1.5);
    EXPECT_EQ(sweep.state().sampleCount, 0);
    sweep.clearTrace(); // as Start does: the last point of the old run goes too
    for (const double v : sweep.state().displayBuffer)
        ASSERT_EQ(v, 0.0);
}

} // namespace
