// Load Settings, Save Settings and the "Settings Saved?" indicator (Label13) over the window's fourteen
// settings controls. The window creates one binder after its controls and its own change reactions, wires the
// File menu to LoadSettings/SaveSettings and shows the failures the results carry.
#pragma once

#include "settings/ControlSettings.h"
#include "settings/SettingsFile.h"

#include <QObject>
#include <QString>

#include <array>
#include <filesystem>
#include <memory>

class QCheckBox;
class QLineEdit;

namespace widgets {
class IndicatorSquare;
class OneRowList;
} // namespace widgets

namespace settings {

// The controls, not owned; they must outlive the binder.
struct SettingsControls {
    std::array<widgets::OneRowList*, kListCount> lists{}; // List1 .. List8
    std::array<QCheckBox*, kCheckCount> checks{};         // Check1 .. Check5
    QLineEdit* text3 = nullptr;                           // the record-file name
    widgets::IndicatorSquare* label13 = nullptr;          // "Settings Saved?"
};

struct LoadResult {
    enum class Outcome {
        Loaded, // every control holds the file's value; indicator green
        // Start-up only: the factory settings were applied; indicator red. message is empty on a first
        // start (no file), else it says which file and line failed and that the factory settings are in use.
        FactorySettings,
        Failed, // nothing changed; message says which file, which line and what is wrong
    };
    Outcome outcome = Outcome::Failed;
    QString message;
};

struct SaveResult {
    bool saved = false; // false: the file on disk is unchanged and message says why
    QString message;
};

// Who runs LoadSettings, which decides what a file that cannot be loaded does.
enum class LoadFrom {
    Menu,    // File menu: a missing or bad file changes nothing and is reported (Failed)
    StartUp, // start-up: the controls must hold something Start and Save can use, so a missing or bad
             // file gives the factory settings (FactorySettings); a first start without a file is no error
};

// The settings file in the process's working directory.
std::filesystem::path settingsFileInWorkingDirectory();

class SettingsBinder : public QObject {
    Q_OBJECT
public:
    // Connects every control's change to markUnsaved() and turns the indicator red.
    SettingsBinder(SettingsControls controls, std::filesystem::path file, QObject* parent = nullptr);
    ~SettingsBinder() override;

    // Reads and checks the whole file first; only a good file reaches the controls. The controls are then set
    // in this order, each control's change reactions running inside the call that sets it: List1 to List8,
    // Check1 to Check5, Text3. Finally the indicator turns green.
    LoadResult LoadSettings(LoadFrom from = LoadFrom::Menu);
    // Writes the controls' values to the file; on success the indicator turns green. Changes no control.
    SaveResult SaveSettings();

    // True while the indicator is green.
    bool isSaved() const;
    // The file's values as last read or written (entries 16 to 20 only ever come from a longer file).
    const SettingValues& settingValues() const { return m_values; }
    const std::filesystem::path& file() const { return m_file; }

public slots:
    // Turns the indicator red: a settings control has changed since the last load or save.
    void markUnsaved();

private:
    ControlSettings currentSettings() const;
    void apply(const ControlSettings& settings);
    QString fileNameForOperator() const;

    SettingsControls m_controls;
    std::filesystem::path m_file;
    SettingValues m_values;
};

} // namespace settings
