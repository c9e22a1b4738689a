// The fourteen settings as the window's controls hold them, and their translation to and from the entries of
// the settings file. Plain C++; used by SettingsBinder for Load and Save Settings.
#pragma once

#include "settings/SettingsFile.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

inline constexpr int kListCount = 8;  // List1 .. List8
inline constexpr int kCheckCount = 5; // Check1 .. Check5

// The file entry of each control, by control number - 1.
inline constexpr std::array<int, kListCount> kListEntries = {1, 2, 3, 11, 12, 13, 14, 15};
inline constexpr std::array<int, kCheckCount> kCheckEntries = {5, 7, 6, 4, 10};
inline constexpr int kOutputFileEntry = 8;

// The words on the window next to each control, for messages to the operator.
inline constexpr std::array<std::string_view, kListCount> kListNames = {
    "Comm Port", "Display Samples", "QEL Version",     "Control Rate",
    "Prop Gain", "Integral Gain",   "Derivative Gain", "Guide Rate",
};
inline constexpr std::array<std::string_view, kCheckCount> kCheckNames = {
    "Display Tabular Data", "Connect to ASCOM Driver",  "High Speed Record (Display)",
    "Record to File",       "Enable ASCOM PID Control",
};

inline constexpr std::string_view kDefaultOutputFile = "QEL_TE_Recorder1.txt";

struct ControlSettings {
    std::array<int, kListCount> listPositions{}; // 0-based position of the selected item, -1 for none
    std::array<int, kCheckCount> checkStates{};  // 0 clear, 1 checked, 2 greyed
    std::string outputFile;                      // Text3, as the file stores it

    bool operator==(const ControlSettings&) const = default;
};

// Every list at its first item, only Check4 ("Record to File") checked, the default record-file name.
ControlSettings factorySettings();

// A list position or check state as the file stores it: one blank before zero and positive numbers, "-"
// before negative ones (" 3", "-1").
std::string settingNumber(int value);

// Fills entries 0 to 15 as Save Settings stores them, the two section headings included.
void storeSettings(const ControlSettings& controls, SettingValues& values);

// A list entry: a whole decimal number with blanks around it allowed, naming one of itemCount items.
// Anything else (letters, nothing, -1, a position past the last item) gives nothing.
std::optional<int> listPosition(std::string_view entry, int itemCount);

// A check-box entry, read leniently: leading blanks skipped, the longest leading decimal number taken (none
// gives 0), rounded to the nearest whole number with halves to the even one (" 1.5" gives 2, "1abc" gives 1,
// "abc" gives 0). A result other than 0, 1 or 2 gives nothing.
std::optional<int> checkState(std::string_view entry);

// Why entries cannot be applied to the controls: the 1-based file line and the operator's words.
struct SettingsProblem {
    int line = 0;
    std::string what;
};

// The settings that entries 1 to 8 and 10 to 15 describe, given each list's number of items; nothing (and
// problem filled) when a list entry is not a position in its list or a check entry is no valid state.
std::optional<ControlSettings> readSettings(const SettingValues& values,
                                            const std::array<int, kListCount>& listItemCounts,
                                            SettingsProblem& problem);

} // namespace settings
