// The simulated QEL unit's signal and record-file replay.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <sstream>
#include <vector>

#include "ReplayCodes.h"
#include "TrackingErrorSignal.h"

using namespace qelsim;

namespace {

double decode(std::uint8_t code) {
    return (127 - code) * 0.125;
}

std::vector<std::uint8_t> codes(std::uint32_t seed, std::size_t n) {
    TrackingErrorSignal signal(ErrorModel{}, seed, 8.0);
    std::vector<std::uint8_t> out(n);
    for (auto& c : out)
        c = signal.nextCode();
    return out;
}

} // namespace

TEST(QelUnitSim, EncodingQuantisesAndClips) {
    const struct {
        double arcseconds;
        int code;
    } cases[] = {{0.0, 127},    {0.125, 126},
                 {-0.125, 128}, {15.875, 0},
                 {-16.0, 255},  {0.06, 127},
                 {0.07, 126},   {-0.07, 128},
                 {7.875, 64},   {16.0, 0},
                 {-16.1, 255},  {1e9, 0},
                 {-1e9, 255},   {std::numeric_limits<double>::quiet_NaN(), 127}};
    for (const auto& c : cases)
        EXPECT_EQ(encodeReading(c.arcseconds), c.code) << c.arcseconds;
}

TEST(QelUnitSim, SameSeedSameReadingsWellInsideTheRange) {
    // An hour at the standard rate: the same for a seed, and a realistic swing the recorder never sees
    // clipped.
    const auto hour = codes(1, 8 * 3600);
    EXPECT_EQ(hour, codes(1, 8 * 3600));
    EXPECT_NE(hour, codes(2, 8 * 3600));
    const auto [high, low] =
        std::minmax_element(hour.begin(), hour.end()); // the lowest code is the highest TE
    EXPECT_LT(decode(*high), 10.0);
    EXPECT_GT(decode(*low), -10.0);
    EXPECT_GT(decode(*high), 3.0);
    EXPECT_LT(decode(*low), -3.0);
}

TEST(QelUnitSim, ReplayTakesTheCodeOfEachRecordLineOrNamesTheBadLine) {
    const struct {
        const char* line;
        int code; // -1: not a record line
    } cases[] = {
        {"A:10: 2013-Jan-05 21:14:07.42  TE:   14.625 None None\r", 10},
        {"A: 10: live panel pads the code", 10},
        {"7F:126: hex and decimal disagree", -1},
        {"100:256: out of range", -1},
        {"7E:12a: not decimal", -1},
        {"7E:126 one colon", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        const auto code = recordLineCode(c.line);
        EXPECT_EQ(code ? int(*code) : -1, c.code) << c.line;
    }

    std::istringstream good("7E:126: a\r\n\r\nFF:255: b\r\n0:0: c\r\n");
    const auto read = readReplayCodes(good);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.codes, (std::vector<std::uint8_t>{126, 255, 0}));
    std::istringstream bad("7E:126: a\nheading line\n");
    EXPECT_EQ(readReplayCodes(bad).error, "line 2: not a record line");
}
