// The value axis's autoscale rule: nice symmetric ranges, the floor, hysteresis, and how set limits combine.
#include "chart/AutoScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using chart::AutoScale;
using chart::AxisRange;
using chart::largestMagnitude;
using chart::resolveRange;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct DataCase {
    const char* name;
    std::vector<double> data;
    double halfSpan; // on a fresh axis
};

TEST(AutoScale, FreshAxisFitsTheDataShown) {
    const std::vector<DataCase> cases = {
        {"no data", {}, 1.0},
        {"all zero", std::vector<double>(1921, 0.0), 1.0},
        {"all within +-0.5", {0.5, -0.5, 0.125, -0.375, 0.25}, 1.0},
        {"spike to +12", {0.25, -0.5, 12.0, 0.375, -0.125}, 20.0},
        {"QEL low end -16", {-16.0, 0.0}, 20.0},
        {"QEL high end 15.875", {15.875}, 20.0},
        {"at 90 % of 1 stays", {-0.9, 0.5}, 1.0},
        {"past 90 % of 1 grows", {0.95}, 2.0},
        {"4.4 fits 5", {-4.4, 4.0}, 5.0},
        {"4.6 needs 10", {4.6}, 10.0},
        {"gaps are not data", {nan, 0.5, inf, -inf}, 1.0},
    };
    for (const auto& c : cases) {
        AutoScale scale;
        EXPECT_EQ(scale.update(largestMagnitude(c.data)), c.halfSpan) << c.name;
    }
}

struct SequenceCase {
    const char* name;
    std::vector<double> largest;
    std::vector<double> halfSpans;
};

TEST(AutoScale, GrowsAtOnceShrinksOnlyWellBelow) {
    const std::vector<SequenceCase> cases = {
        {"grow, hold in the band, then shrink", {1.0, 0.8, 0.75, 0.6}, {2.0, 2.0, 2.0, 1.0}},
        {"wandering around a boundary does not flip",
         {0.85, 0.95, 0.85, 0.95, 0.85},
         {1.0, 2.0, 2.0, 2.0, 2.0}},
        {"spike overwritten by a calm sweep", {12.0, 0.5}, {20.0, 1.0}},
        {"after a spike, 8 keeps 20", {12.0, 8.0}, {20.0, 20.0}},
        {"after a spike, 6 shrinks to 10", {12.0, 6.0}, {20.0, 10.0}},
        {"never below the floor", {0.001, 0.0}, {1.0, 1.0}},
        {"NaN keeps the span", {12.0, nan}, {20.0, 20.0}},
    };
    for (const auto& c : cases) {
        AutoScale scale;
        for (std::size_t i = 0; i < c.largest.size(); ++i)
            EXPECT_EQ(scale.update(c.largest[i]), c.halfSpans[i]) << c.name << ", step " << i;
    }
}

TEST(AutoScale, NiceNumbers) {
    const std::vector<std::pair<double, double>> cases = {
        {0.0, 1.0},    {-3.0, 1.0}, {1.0, 1.0},  {1.0000001, 2.0}, {2.0, 2.0},   {2.1, 2.5},
        {2.6, 5.0},    {5.0, 5.0},  {7.0, 10.0}, {10.0, 10.0},     {13.3, 20.0}, {21.0, 25.0},
        {99.0, 100.0}, {1e6, 1e6},  {nan, 1.0},  {1e308, 1e308}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(AutoScale::niceAtLeast(in), out) << in;
}

struct RangeCase {
    const char* name;
    std::optional<double> minimum;
    std::optional<double> maximum;
    double halfSpan;
    AxisRange range;
};

TEST(AutoScale, SetLimitsHoldEachSideOnItsOwn) {
    const std::vector<RangeCase> cases = {
        {"nothing set", {}, {}, 1.0, {-1.0, 1.0}},
        {"both set hold against a wide autoscale", -3.0, 3.0, 20.0, {-3.0, 3.0}},
        {"minimum set, maximum follows autoscale", -19.2, {}, 20.0, {-19.2, 20.0}},
        {"maximum set, minimum follows autoscale", {}, 19.2, 1.0, {-1.0, 19.2}},
        {"minimum above the free maximum", 5.0, {}, 1.0, {5.0, 7.0}},
        {"maximum below the free minimum", {}, -5.0, 1.0, {-7.0, -5.0}},
        {"reversed limits are swapped", 3.0, -3.0, 1.0, {-3.0, 3.0}},
        {"equal limits are widened", 2.0, 2.0, 1.0, {1.0, 3.0}},
        {"NaN limit counts as not set", nan, {}, 2.0, {-2.0, 2.0}},
        {"infinite limit counts as not set", {}, inf, 2.0, {-2.0, 2.0}},
        {"unusable half span falls back to the floor", {}, {}, nan, {-1.0, 1.0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolveRange(c.minimum, c.maximum, c.halfSpan), c.range) << c.name;
}

} // namespace
