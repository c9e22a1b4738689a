// Decoding readings and the locale-free number texts every line and caption is built from.
#include "acquisition/NumberFormat.h"
#include "acquisition/TrackingError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace acquisition;

TEST(DecodeTrackingError, TextsAtTheEdges) {
    // "" is no reading yet: the PID controller sees +15.875. Only a leading number counts; none counts as 0.
    const struct {
        const char* text;
        double te;
    } cases[] = {{"", 15.875},   {"0", 15.875}, {"64", 7.875},   {"126", 0.125}, {"127", 0.0},
                 {"255", -16.0}, {" 5", 15.25}, {"12x", 14.375}, {"abc", 15.875}};
    for (const auto& c : cases)
        EXPECT_EQ(DecodeTrackingError(c.text), c.te) << '"' << c.text << '"';
}

TEST(DecodeTrackingError, ByteAndTextDecodesAgreeForAllCodes) {
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(trackingErrorFromCode(static_cast<std::uint8_t>(code)),
                  DecodeTrackingError(std::to_string(code)))
            << code;
}

TEST(NumberFormat, FixedDecimalsRoundHalfAwayAndNeverShowMinusZero) {
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

} // namespace
