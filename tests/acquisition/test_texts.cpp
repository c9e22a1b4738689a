// The texts a reading produces, byte for byte: heading alignment of live lines, statistics and rate
// captions, axis limits and the text panel's length rule. The lines themselves: test_reading_processor.
#include "acquisition/ChartTexts.h"
#include "acquisition/LineTexts.h"
#include "acquisition/TextPanel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace acquisition;

std::string liveLine(std::uint8_t code) {
    std::string s;
    appendLiveLine(s, code, {2013, 1, 5, 21, 14, 7, 42}, common::TimeStampFormatter{}, "None", "None");
    return s;
}

TEST(LineTexts, LiveLinesLineUpUnderTheHeadingFromCodeSixteen) {
    const std::size_t point = kHeadingWithoutTelescope.find("XXX.XXX") + 3;
    const std::size_t ascom = kHeadingWithoutTelescope.find(" ASCOM ");
    ASSERT_EQ(kHeadingWithTelescope.find(" ASCOM "), ascom);
    for (int code = 16; code < 256; ++code) {
        const std::string line = liveLine(static_cast<std::uint8_t>(code));
        ASSERT_EQ(line.find(" ASCOM "), ascom) << code;
        ASSERT_EQ(line.find('.', point - 7), point) << code;
    }
}

TEST(ChartTexts, StatisticsAndRateCaptions) {
    std::string label, caption;
    appendStatisticsLabel(label, -1.25, 2.828427125); // the RMS figure is 1.000, the 95 % interval 5.657
    appendStatisticsCaption(caption, -1.25, 2.828427125);
    EXPECT_EQ(label, "TE: -1.250 \u00b15.657 arcsecond 95% PI, 1.000 RMS");
    EXPECT_EQ(caption, "TE: -1.250 \u00b15.657 arcsecond, 95% PI, 1.000 arcsecond RMS");

    const struct {
        int samples;
        const char *slow, *fast;
    } cases[] = {
        {120, "1.0 Hz, 120 Seconds Range, 10 Seconds/Division",
         "5.0 Hz, 24 Seconds Range, 2 Seconds/Division"},
        {1920, "1.0 Hz, 1920 Seconds Range, 160 Seconds/Division",
         "5.0 Hz, 384 Seconds Range, 32 Seconds/Division"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rateCaption(ChartRate::Slow, c.samples), c.slow);
        EXPECT_EQ(rateCaption(ChartRate::Fast, c.samples), c.fast);
    }
}

TEST(ChartTexts, AxisLimitsOnlyWiden) {
    using L = AxisChange::Limit;
    const struct {
        AxisLimits before;
        double te;
        L limit;
        double value;
    } cases[] = {{{}, -16.0, L::None, 0},
                 {{1.0, -1.0}, -2.0, L::Minimum, -2.4},
                 {{1.0, -1.0}, 3.0, L::Maximum, 3.6},
                 {{1.0, -1.0}, 0.5, L::None, 0},
                 {{}, 15.875, L::None, 0}};
    for (const auto& c : cases) {
        AxisLimits limits = c.before;
        const AxisChange change = widenAxis(limits, c.te);
        EXPECT_EQ(change.limit, c.limit) << c.te;
        EXPECT_DOUBLE_EQ(change.value, c.value) << c.te;
    }
}

TEST(TextPanel, LengthCountsCharactersAsTheWindowDoes) {
    EXPECT_EQ(TextPanelLength::utf16Length("M\xC3\xA4r"), 3);       // "Mär": a two-byte character
    EXPECT_EQ(TextPanelLength::utf16Length("\xF0\x9F\x98\x80"), 2); // beyond U+FFFF: a surrogate pair
}

} // namespace
