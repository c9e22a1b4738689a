// Turning file entries into control values: the strict list positions, the lenient check states, and the
// operator's message when a file cannot be applied.
#include "settings/ControlSettings.h"
#include "settings/SettingsMessages.h"

#include <gtest/gtest.h>

using namespace settings;

namespace {

constexpr std::array<int, kListCount> kItemCounts = {8, 5, 4, 3, 20, 11, 11, 9};

SettingValues factoryValues() {
    SettingValues values;
    storeSettings(factorySettings(), values);
    return values;
}

} // namespace

TEST(ControlSettings, CheckStatesAreReadLeniently) {
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {" 1.5", 2}, {"1abc", 1}, {"abc", 0},   {"", 0},    {" 0", 0},  {"\t2", 2},   {"2.5", 2},
        {"0.5", 0},  {"-0.4", 0}, {" 1.49", 1}, {" 3", {}}, {"-1", {}}, {"2.51", {}}, {" 1 2", 1},
    };
    for (const auto& [entry, state] : cases)
        EXPECT_EQ(checkState(entry), state) << '"' << entry << '"';
}

TEST(ControlSettings, ListPositionsAreReadStrictly) {
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {" 8", 8},   {"  3  ", 3}, {"0", 0},   {"9", {}},  {" -1", {}}, {"-0", 0},
        {"abc", {}}, {"", {}},     {"  ", {}}, {"3x", {}}, {"3.0", {}}, {"99999999999", {}},
    };
    for (const auto& [entry, position] : cases)
        EXPECT_EQ(listPosition(entry, 9), position) << '"' << entry << '"';
}

TEST(ControlSettings, NumbersAreWrittenWithABlankOrAMinus) {
    EXPECT_EQ(settingNumber(0), " 0");
    EXPECT_EQ(settingNumber(19), " 19");
    EXPECT_EQ(settingNumber(-1), "-1");
}

TEST(ControlSettings, StoredSettingsReadBackUnchanged) {
    ControlSettings controls;
    controls.listPositions = {7, 4, 3, 2, 19, 10, 10, 8};
    controls.checkStates = {1, 2, 0, 1, 1};
    controls.outputFile = "C:\\runs\\night=1.txt";
    SettingValues values;
    storeSettings(controls, values);
    SettingsProblem problem;
    EXPECT_EQ(readSettings(values, kItemCounts, problem), controls);
}

TEST(ControlSettings, GuideRateEightIsTheLastItemAndNineIsNoPosition) {
    SettingValues values = factoryValues();
    SettingsProblem problem;
    values[15] = " 8";
    ASSERT_TRUE(readSettings(values, kItemCounts, problem));
    EXPECT_EQ(readSettings(values, kItemCounts, problem)->listPositions[7], 8);

    values[15] = " 9";
    EXPECT_FALSE(readSettings(values, kItemCounts, problem));
    EXPECT_EQ(problem.line, 16);
    EXPECT_EQ(problem.what, "Guide Rate: \" 9\" is not the position of an item in its list (0 to 8)");
}

TEST(ControlSettings, EveryBadEntryNamesItsLine) {
    const std::pair<int, std::string> cases[] = {
        {1, ""}, {3, "abc"}, {11, "-1"}, {4, " 3"}, {7, " 2.7x"}, {10, "-2"},
    };
    for (const auto& [entry, text] : cases) {
        SettingValues values = factoryValues();
        values[static_cast<std::size_t>(entry)] = text;
        SettingsProblem problem;
        EXPECT_FALSE(readSettings(values, kItemCounts, problem)) << entry;
        EXPECT_EQ(problem.line, entry + 1);
    }
}

TEST(ControlSettings, MessagesNameTheFileTheLineAndTheReason) {
    const std::string file = "/home/obs/QEL_TE_Recorder.ini";
    EXPECT_EQ(
        loadFailureMessage(file, SettingsFileError{SettingsFileError::Kind::TooManyLines, 22, {}}),
        "Could not load the settings from \"/home/obs/QEL_TE_Recorder.ini\": line 22: the file has more "
        "than 21 lines. No setting was changed.");
    EXPECT_EQ(
        loadFailureMessage(file, SettingsProblem{5, "Record to File: \" 3\" is not a check state"}),
        "Could not load the settings from \"/home/obs/QEL_TE_Recorder.ini\": line 5, Record to File: \" 3\" "
        "is not a check state. No setting was changed.");
    EXPECT_EQ(
        saveFailureMessage(file, SettingsFileError{SettingsFileError::Kind::CannotWrite, 0, "disk full"}),
        "Could not save the settings to \"/home/obs/QEL_TE_Recorder.ini\": disk full. Any earlier settings "
        "file is left as it was.");
}
