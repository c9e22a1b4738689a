// Turning file entries into control values: the strict list positions and the lenient check states.
#include "settings/ControlSettings.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(ControlSettings, CheckStatesAreReadLeniently) {
    // Halves go to the even number; letters after a number are ignored, letters alone read as 0.
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {" 1.5", 2}, {"1abc", 1}, {"abc", 0},   {"", 0},    {"\t2", 2}, {"2.5", 2},
        {"0.5", 0},  {"-0.4", 0}, {" 1.49", 1}, {" 3", {}}, {"-1", {}}, {"2.51", {}},
    };
    for (const auto& [entry, state] : cases)
        EXPECT_EQ(checkState(entry), state) << '"' << entry << '"';
}

TEST(ControlSettings, ListPositionsAreReadStrictlyAndWrittenWithABlankOrAMinus) {
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {" 8", 8},   {"  3  ", 3}, {"9", {}},  {" -1", {}},
        {"abc", {}}, {"", {}},     {"3x", {}}, {"99999999999", {}},
    };
    for (const auto& [entry, position] : cases)
        EXPECT_EQ(listPosition(entry, 9), position) << '"' << entry << '"';
    EXPECT_EQ(settingNumber(19), " 19");
    EXPECT_EQ(settingNumber(-1), "-1");
}
