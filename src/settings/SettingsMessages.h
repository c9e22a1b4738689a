// The operator's words for a settings load or save that could not complete. Plain C++; SettingsBinder puts
// them in its results and the window shows them.
#pragma once

#include "settings/ControlSettings.h"
#include "settings/SettingsFile.h"

#include <string>

namespace settings {

// fileName is the settings file as the operator should see it (a full path).
std::string loadFailureMessage(const std::string& fileName, const SettingsFileError& error);
std::string loadFailureMessage(const std::string& fileName, const SettingsProblem& problem);
std::string saveFailureMessage(const std::string& fileName, const SettingsFileError& error);

} // namespace settings
