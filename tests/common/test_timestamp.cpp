// The shared time stamp: every file and panel line of the recorder starts with it.
#include "common/Clock.h"
#include "common/TimeStamp.h"

#include <gtest/gtest.h>

#include <clocale>
#include <utility>

namespace {

using common::LocalTime;

TEST(TimeStamp, FormsOfTheStamp) {
    const common::TimeStampFormatter f;
    const std::pair<LocalTime, const char*> cases[] = {
        {{2013, 1, 5, 21, 14, 7, 42}, "2013-Jan-05 21:14:07.42"},    // single-digit day padded
        {{2024, 12, 31, 23, 59, 59, 99}, "2024-Dec-31 23:59:59.99"}, // last hundredth before midnight
        {{2025, 1, 1, 0, 0, 0, 0}, "2025-Jan-01 00:00:00.00"},       // midnight, 24-hour clock
        {{2012, 9, 21, 14, 23, 4, 5}, "2012-Sep-21 14:23:04.05"},    // afternoon is not 02
    };
    for (const auto& [t, expected] : cases)
        EXPECT_EQ(f.stamp(t), expected);
}

TEST(TimeStamp, LocaleMonthNamesInTheCLocaleAreEnglish) {
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(common::monthNamesFromLocale(), common::englishMonthNames());
}

} // namespace
