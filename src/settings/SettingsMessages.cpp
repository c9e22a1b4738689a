// Messages for failed settings loads and saves.
#include "settings/SettingsMessages.h"

namespace settings {

namespace {

std::string loadHeading(const std::string& fileName) {
    return "Could not load the settings from \"" + fileName + "\": ";
}

const char* consequence(AfterFailedLoad after) {
    return after == AfterFailedLoad::NothingChanged
               ? " No setting was changed."
               : "\n\nThe factory settings are in use. Correct the file and load it, or choose your settings "
                 "and use Save Settings to replace it.";
}

} // namespace

std::string loadFailureMessage(const std::string& fileName, const SettingsFileError& error,
                               AfterFailedLoad after) {
    using Kind = SettingsFileError::Kind;
    std::string why;
    switch (error.kind) {
    case Kind::None:
        return {};
    case Kind::NoFile:
        why = "the file does not exist (Save Settings creates it).";
        break;
    case Kind::CannotOpen:
        why = "the file cannot be opened (" + error.systemReason + ").";
        break;
    case Kind::CannotRead:
        why = "reading the file failed (" + error.systemReason + ").";
        break;
    case Kind::TooManyLines:
        why = "line " + std::to_string(error.line) + ": the file has more than " +
              std::to_string(kSettingEntries) + " lines.";
        break;
    case Kind::LineTooLong:
        why = "line " + std::to_string(error.line) + " is longer than " + std::to_string(kMaxLineLength) +
              " characters.";
        break;
    case Kind::CannotWrite:
        why = error.systemReason + ".";
        break;
    }
    return loadHeading(fileName) + why + consequence(after);
}

std::string loadFailureMessage(const std::string& fileName, const SettingsProblem& problem,
                               AfterFailedLoad after) {
    return loadHeading(fileName) + "line " + std::to_string(problem.line) + ", " + problem.what + "." +
           consequence(after);
}

std::string saveFailureMessage(const std::string& fileName, const SettingsFileError& error) {
    return "Could not save the settings to \"" + fileName + "\": " + error.systemReason +
           ". Any earlier settings file is left as it was.";
}

} // namespace settings
