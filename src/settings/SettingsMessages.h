// The operator's words for a settings load or save that could not complete. Plain C++; SettingsBinder puts
// them in its results and the window shows them.
#pragma once

#include "settings/ControlSettings.h"
#include "settings/SettingsFile.h"

#include <string>

namespace settings {

// What became of the controls after a load failed; the message's last sentence says it.
enum class AfterFailedLoad {
    NothingChanged,      // Load Settings from the menu
    FactorySettingsInUse // start-up
};

// fileName is the settings file as the operator should see it (a full path).
std::string loadFailureMessage(const std::string& fileName, const SettingsFileError& error,
                               AfterFailedLoad after = AfterFailedLoad::NothingChanged);
std::string loadFailureMessage(const std::string& fileName, const SettingsProblem& problem,
                               AfterFailedLoad after = AfterFailedLoad::NothingChanged);
std::string saveFailureMessage(const std::string& fileName, const SettingsFileError& error);

} // namespace settings
