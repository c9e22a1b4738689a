// Translation between the controls' values and the settings file's entries.
#include "settings/ControlSettings.h"

#include "common/ListNumber.h"

#include <charconv>
#include <cmath>

namespace settings {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Enough of an entry to recognise it in a message box; entries may be thousands of characters long.
std::string shownEntry(std::string_view entry) {
    constexpr std::size_t shown = 40;
    if (entry.size() <= shown)
        return "\"" + std::string(entry) + "\"";
    return "\"" + std::string(entry.substr(0, shown)) + "...\"";
}

double roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

} // namespace

ControlSettings factorySettings() {
    ControlSettings controls;
    controls.listPositions.fill(0);
    controls.checkStates = {0, 0, 0, 1, 0};
    controls.outputFile = kDefaultOutputFile;
    return controls;
}

std::string settingNumber(int value) {
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    std::string text(digits.data(), end);
    return value < 0 ? text : " " + text;
}

void storeSettings(const ControlSettings& controls, SettingValues& values) {
    values[0] = "[Display]";
    for (int i = 0; i < kListCount; ++i)
        values[static_cast<std::size_t>(kListEntries[static_cast<std::size_t>(i)])] =
            settingNumber(controls.listPositions[static_cast<std::size_t>(i)]);
    for (int i = 0; i < kCheckCount; ++i)
        values[static_cast<std::size_t>(kCheckEntries[static_cast<std::size_t>(i)])] =
            settingNumber(controls.checkStates[static_cast<std::size_t>(i)]);
    values[kOutputFileEntry] = controls.outputFile;
    values[9] = "[ASCOM PID]";
}

std::optional<int> listPosition(std::string_view entry, int itemCount) {
    const std::string_view number = trimmed(entry);
    const char* first = number.data();
    const char* last = number.data() + number.size();
    if (first != last && *first == '+')
        ++first;
    int position = 0;
    const auto [end, error] = std::from_chars(first, last, position);
    if (number.empty() || error != std::errc() || end != last || position < 0 || position >= itemCount)
        return std::nullopt;
    return position;
}

std::optional<int> checkState(std::string_view entry) {
    const double state = roundHalfToEven(common::numberAtStart(entry));
    if (state == 0.0 || state == 1.0 || state == 2.0)
        return static_cast<int>(state);
    return std::nullopt;
}

std::optional<ControlSettings> readSettings(const SettingValues& values,
                                            const std::array<int, kListCount>& listItemCounts,
                                            SettingsProblem& problem) {
    ControlSettings controls;
    for (std::size_t i = 0; i < kListCount; ++i) {
        const int entry = kListEntries[i];
        const std::string& text = values[static_cast<std::size_t>(entry)];
        const auto position = listPosition(text, listItemCounts[i]);
        if (!position) {
            problem = {entry + 1, std::string(kListNames[i]) + ": " + shownEntry(text) +
                                      " is not the position of an item in its list (0 to " +
                                      std::to_string(listItemCounts[i] - 1) + ")"};
            return std::nullopt;
        }
        controls.listPositions[i] = *position;
    }
    for (std::size_t i = 0; i < kCheckCount; ++i) {
        const int entry = kCheckEntries[i];
        const std::string& text = values[static_cast<std::size_t>(entry)];
        const auto state = checkState(text);
        if (!state) {
            problem = {entry + 1, std::string(kCheckNames[i]) + ": " + shownEntry(text) +
                                      " is not a check state (0 clear, 1 checked, 2 greyed)"};
            return std::nullopt;
        }
        controls.checkStates[i] = *state;
    }
    controls.outputFile = values[kOutputFileEntry];
    return controls;
}

} // namespace settings
