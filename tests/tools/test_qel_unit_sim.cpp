// The simulated QEL unit's encoding and record-file replay.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <vector>

#include "ReplayCodes.h"
#include "TrackingErrorSignal.h"

using namespace qelsim;

TEST(QelUnitSim, EncodingQuantisesAndClips) {
    // Nearest eighth, ends of the range, beyond them, and NaN as no error.
    const std::pair<double, int> cases[] = {
        {0.06, 127},  {0.07, 126}, {-0.07, 128}, {15.875, 0},
        {-16.0, 255}, {1e9, 0},    {-1e9, 255},  {std::numeric_limits<double>::quiet_NaN(), 127}};
    for (const auto& [arcseconds, code] : cases)
        EXPECT_EQ(encodeReading(arcseconds), code) << arcseconds;
}

TEST(QelUnitSim, ReplayTakesTheCodeOfEachRecordLineOrNamesTheBadLine) {
    const std::pair<const char*, int> cases[] = {
        {"A:10: 2013-Jan-05 21:14:07.42  TE:   14.625 None None\r", 10},
        {"A: 10: live panel pads the code", 10},
        {"7F:126: hex and decimal disagree", -1}, // -1: not a record line
        {"100:256: out of range", -1},
        {"7E:126 one colon", -1},
    };
    for (const auto& [line, expected] : cases) {
        const auto code = recordLineCode(line);
        EXPECT_EQ(code ? int(*code) : -1, expected) << line;
    }

    std::istringstream good("7E:126: a\r\n\r\nFF:255: b\r\n0:0: c\r\n");
    const auto read = readReplayCodes(good);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.codes, (std::vector<std::uint8_t>{126, 255, 0}));
    std::istringstream bad("7E:126: a\nheading line\n");
    EXPECT_EQ(readReplayCodes(bad).error, "line 2: not a record line");
}
