// How long a link was away, in words.
#include "common/Duration.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(DurationText, WholeSecondsRounded) {
    const std::pair<std::chrono::milliseconds, const char*> cases[] = {
        {0ms, "0 s"},
        {1499ms, "1 s"},
        {1500ms, "2 s"},
        {59'400ms, "59 s"},
        {59'600ms, "1 min 00 s"},
        {125s, "2 min 05 s"},
        {3600s, "1 h 00 min 00 s"},
        {9h + 7s, "9 h 00 min 07 s"},
        {-3s, "0 s"},
    };
    for (const auto& [gap, text] : cases)
        EXPECT_EQ(common::durationText(gap), text) << gap.count();
}
