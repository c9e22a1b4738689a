// The sweep buffer and its statistics: boundaries, the slow-rate window and the fast-rate accumulation.
#include "acquisition/Sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

using namespace acquisition;

TEST(Sweep, DisplaySizeChoiceKeepsOnlyOfferedSizesAndClearsEverything) {
    // chosen, displaySamples: afterwards, starting from 240
    const std::pair<double, int> cases[] = {{120, 120}, {480, 480}, {1920, 1920},
                                            {100, 240}, {0, 240},   {120.5, 240}};
    for (const auto& [chosen, displaySamples] : cases) {
        Sweep sweep;
        sweep.chooseDisplaySize(240);
        sweep.chart(3.0, ChartRate::Fast);
        EXPECT_EQ(sweep.chooseDisplaySize(chosen), displaySamples == chosen) << chosen;
        EXPECT_EQ(sweep.state().displayBuffer.size(), static_cast<std::size_t>(displaySamples) + 1);
        EXPECT_EQ(sweep.state().displayBuffer[0], 0.0) << chosen;
        EXPECT_EQ(std::tie(sweep.state().sampleCount, sweep.state().teSum), std::make_tuple(0, 0.0));
    }
}

TEST(Sweep, BoundaryDropsOneReadingAndStartsAgainAtTheLeft) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    for (int i = 0; i < 121; ++i) // indices 0..120
        ASSERT_EQ(sweep.chart(i * 0.125 - 8.0, ChartRate::Slow), SweepStep::Stored) << i;
    EXPECT_NE(sweep.state().teStdDev, 0.0);

    EXPECT_EQ(sweep.chart(5.0, ChartRate::Slow), SweepStep::SweepClosed); // the 122nd only resets
    EXPECT_EQ(sweep.state().sampleCount, 0);
    EXPECT_EQ(sweep.state().teStdDev, 0.0);
    EXPECT_EQ(sweep.state().displayBuffer[120], 7.0); // the old trace stays until overwritten

    EXPECT_EQ(sweep.chart(6.0, ChartRate::Slow), SweepStep::Stored); // the 123rd is stored at index 0
    EXPECT_EQ(
        std::tie(sweep.state().displayBuffer[0], sweep.state().displayBuffer[1], sweep.state().sampleCount),
        std::make_tuple(6.0, -7.875, 1));

    sweep.clearTrace(); // as Start does: the last point of the old run goes too
    for (const double v : sweep.state().displayBuffer)
        ASSERT_EQ(v, 0.0);
}

TEST(Sweep, SlowRateWindowStartsAtTheSixteenthReading) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    sweep.chart(-16.0, ChartRate::Slow); // index 0: outside the first window
    for (int i = 1; i <= 14; ++i) {
        sweep.chart(i, ChartRate::Slow);
        ASSERT_EQ(std::tie(sweep.state().teMean, sweep.state().teStdDev), std::make_tuple(0.0, 0.0))
            << "figures keep their reset values up to the 15th reading";
    }
    sweep.chart(15.0, ChartRate::Slow); // 16th reading: window indices 1..15 = 1, 2, ..., 15
    // Whole numbers: exact in binary.
    EXPECT_EQ(std::tie(sweep.state().teSum, sweep.state().teMean, sweep.state().teSquareSum),
              std::make_tuple(120.0, 8.0, 280.0));
    EXPECT_DOUBLE_EQ(sweep.state().teStdDev, std::sqrt(280.0 / 15.0)); // population divisor

    sweep.chart(16.0, ChartRate::Slow); // 17th: indices 2..16, the window slides
    EXPECT_EQ(std::tie(sweep.state().teMean, sweep.state().teSquareSum), std::make_tuple(9.0, 280.0));
}

TEST(Sweep, FastRateAccumulatesOverTheSweepWithItsPredictionIntervalAndRms) {
    Sweep sweep;
    sweep.chooseDisplaySize(120);
    sweep.chart(4.0, ChartRate::Fast);
    EXPECT_EQ(std::tie(sweep.state().teMean, sweep.state().teStdDev), std::make_tuple(4.0, 0.0));
    sweep.chart(0.0, ChartRate::Fast);
    EXPECT_EQ(std::tie(sweep.state().teSum, sweep.state().teMean, sweep.state().teSquareSum),
              std::make_tuple(4.0, 2.0, 4.0));
    EXPECT_DOUBLE_EQ(sweep.state().teStdDev, std::sqrt(2.0)); // the caption's figures: test_texts

    for (int i = 2; i < 122; ++i) // the last one closes the sweep
        sweep.chart(1.0, ChartRate::Fast);
    sweep.chart(-3.0, ChartRate::Fast);
    // The new sweep's figures start from nothing.
    EXPECT_EQ(std::tie(sweep.state().teMean, sweep.state().teStdDev), std::make_tuple(-3.0, 0.0));
}

} // namespace
