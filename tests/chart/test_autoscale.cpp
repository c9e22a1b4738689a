// The value axis's autoscale rule: nice symmetric ranges, the floor, hysteresis, and how set limits combine.
#include "chart/AutoScale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using chart::AutoScale;
using chart::AxisRange;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(AutoScale, FreshAxisFitsTheDataShown) {
    const std::vector<std::pair<std::vector<double>, double>> cases = {
        {{}, 1.0},                             // no data
        {std::vector<double>(1921, 0.0), 1.0}, // all zero: the floor
        {{0.5, -0.5, 0.125, -0.375}, 1.0},     // all within +-0.5
        {{0.25, -0.5, 12.0, 0.375}, 20.0},     // one spike to +12
        {{-0.9, 0.5}, 1.0},                    // at 90 % of the span it stays
        {{0.95}, 2.0},                         // past 90 % it grows
        {{2.2}, 2.5},                          // nice numbers: 1, 2, 2.5, 5 x 10^k
        {{4.6}, 10.0},                         // 4.6 / 0.9 is past 5
        {{nan, 0.5, inf, -inf}, 1.0},          // gaps are not data
        {{1e308}, 1e308 / 0.9},                // no overflow to infinity
    };
    for (const auto& [data, halfSpan] : cases)
        EXPECT_EQ(AutoScale().update(chart::largestMagnitude(data)), halfSpan)
            << ::testing::PrintToString(data);
}

TEST(AutoScale, GrowsAtOnceShrinksOnlyWellBelow) {
    // Largest magnitudes fed one after the other, and the half span after each.
    const std::vector<std::pair<std::vector<double>, std::vector<double>>> cases = {
        {{1.0, 0.8, 0.75, 0.6}, {2.0, 2.0, 2.0, 1.0}},               // grow, hold in the band, then shrink
        {{0.85, 0.95, 0.85, 0.95, 0.85}, {1.0, 2.0, 2.0, 2.0, 2.0}}, // no jump on every point at a boundary
        {{12.0, 8.0, 6.0, 0.5}, {20.0, 20.0, 10.0, 1.0}},            // after a spike
        {{0.001, 0.0}, {1.0, 1.0}},                                  // never below the floor
        {{12.0, nan}, {20.0, 20.0}},                                 // NaN keeps the span
    };
    for (const auto& [largest, halfSpans] : cases) {
        AutoScale scale;
        for (std::size_t i = 0; i < largest.size(); ++i)
            EXPECT_EQ(scale.update(largest[i]), halfSpans[i])
                << ::testing::PrintToString(largest) << " step " << i;
    }
}

TEST(AutoScale, SetLimitsHoldEachSideOnItsOwn) {
    const struct {
        std::optional<double> minimum, maximum;
        double halfSpan;
        AxisRange range;
    } cases[] = {
        {{}, {}, 1.0, {-1.0, 1.0}},       {-3.0, 3.0, 20.0, {-3.0, 3.0}},
        {-19.2, {}, 20.0, {-19.2, 20.0}}, {{}, 19.2, 1.0, {-1.0, 19.2}},
        {5.0, {}, 1.0, {5.0, 7.0}},       {{}, -5.0, 1.0, {-7.0, -5.0}}, // past the free side
        {3.0, -3.0, 1.0, {-3.0, 3.0}},    {2.0, 2.0, 1.0, {1.0, 3.0}},   // reversed, equal
        {nan, {}, 2.0, {-2.0, 2.0}},      {{}, inf, 2.0, {-2.0, 2.0}},   // not finite: not set
        {{}, {}, nan, {-1.0, 1.0}},
    };
    for (const auto& c : cases) {
        const AxisRange range = chart::resolveRange(c.minimum, c.maximum, c.halfSpan);
        EXPECT_EQ(range, c.range) << c.minimum.value_or(nan) << " " << c.maximum.value_or(nan) << " "
                                  << c.halfSpan << " gave " << range.lower << " " << range.upper;
    }
}

} // namespace
