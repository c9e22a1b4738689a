// libFuzzer target for the settings reader: any bytes must parse or fail cleanly, a parsed file must keep the
// reader's promises, and whatever a load would accept must come back unchanged through a save.
#include "settings/ControlSettings.h"
#include "settings/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace settings;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// The item counts of List1 to List8 on the window.
constexpr std::array<int, kListCount> kItemCounts = {8, 5, 4, 3, 20, 11, 11, 9};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SettingValues values;
    values.fill("untouched");
    const SettingValues before = values;

    const SettingsFileError error = ParseSettingsText(bytes, values);
    if (error) {
        require(values == before); // a failed read changes no entry
        require(error.line >= 1);
        return 0;
    }
    for (const std::string& value : values) {
        require(value.size() <= kMaxLineLength);
        require(value.find('\r') == std::string::npos);
    }

    SettingsProblem problem;
    const auto settings = readSettings(values, kItemCounts, problem);
    if (!settings) {
        require(problem.line >= 2 && problem.line <= 16 && !problem.what.empty());
        return 0;
    }
    for (std::size_t i = 0; i < kListCount; ++i)
        require(settings->listPositions[i] >= 0 && settings->listPositions[i] < kItemCounts[i]);
    for (int state : settings->checkStates)
        require(state >= 0 && state <= 2);

    // Save then load: the same settings, whatever text the entries held.
    SettingValues saved;
    storeSettings(*settings, saved);
    if (kSettingKeys[kOutputFileEntry].size() + settings->outputFile.size() > kMaxLineLength)
        return 0; // a save refuses a record-file name that would not read back
    const std::string text = FormatSettingsText(saved);
    SettingValues reread;
    require(!ParseSettingsText(text, reread));
    const auto again = readSettings(reread, kItemCounts, problem);
    require(again && *again == *settings);
    return 0;
}
