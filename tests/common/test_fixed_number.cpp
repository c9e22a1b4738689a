// Fixed decimals as the record lines, the statistics texts and the analysis write them.
#include "common/FixedNumber.h"

#include <gtest/gtest.h>

using common::formatFixed;

TEST(FixedNumber, FixedDecimalsRoundHalfAwayAndNeverShowMinusZero) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {{0.125, 3, "0.125"},   {-16.0, 3, "-16.000"}, {-0.0, 3, "0.000"},
                 {-0.0004, 3, "0.000"}, {0.0625, 3, "0.063"},  {-0.0625, 3, "-0.063"},
                 {2.0005, 3, "2.001"},  {9.9995, 3, "10.000"}, {1234.5678, 3, "1234.568"},
                 {2.5, 0, "3"},         {0.4, 0, "0"},         {59.999, 2, "60.00"},
                 {0.005, 2, "0.01"}};
    for (const auto& c : cases)
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value << " to " << c.decimals;
    EXPECT_EQ(formatFixed(1e16, 3), "10000000000000000.000"); // wider than any reading: no cut-off
}
