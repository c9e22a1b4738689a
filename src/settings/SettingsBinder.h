// Load Settings, Save Settings and the "Settings Saved?" indicator (Label13) over the window's fourteen
// settings controls. The window creates one binder after its controls and its own change reactions, wires the
// File menu to LoadSettings/SaveSettings and shows the failures the results carry.
#pragma once

#include "settings/ControlSettings.h"
#include "settings/ListControl.h"
#include "settings/SettingsFile.h"

#include <QObject>
#include <QString>

#include <array>
#include <filesystem>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace settings {

// The controls, not owned; they must outlive the binder.
struct SettingsControls {
    std::array<std::unique_ptr<ListControl>, kListCount> lists; // List1 .. List8
    std::array<QCheckBox*, kCheckCount> checks{};               // Check1 .. Check5
    QLineEdit* text3 = nullptr;                                 // the record-file name
    QLabel* label13 = nullptr; // the indicator square: red or green window colour in its palette
};

struct LoadResult {
    enum class Outcome {
        Loaded,          // every control holds the file's value; indicator green
        FactorySettings, // no settings file: the factory settings were applied; indicator red
        Failed,          // nothing changed; message says which file, which line and what is wrong
    };
    Outcome outcome = Outcome::Failed;
    QString message;
};

struct SaveResult {
    bool saved = false; // false: the file on disk is unchanged and message says why
    QString message;
};

// What LoadSettings does when there is no settings file at all.
enum class WhenMissing {
    Fail,                 // the File menu: report it, change nothing
    ApplyFactorySettings, // start-up: a first start is not an error
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
    LoadResult LoadSettings(WhenMissing whenMissing = WhenMissing::Fail);
    // Writes the controls' values to the file; on success the indicator turns green. Changes no control.
    SaveResult SaveSettings();

    // True while the indicator is green.
    bool isSaved() const { return m_saved; }
    // The file's values as last read or written (entries 16 to 20 only ever come from a longer file).
    const SettingValues& settingValues() const { return m_values; }
    const std::filesystem::path& file() const { return m_file; }

public slots:
    // Turns the indicator red: a settings control has changed since the last load or save.
    void markUnsaved();

private:
    ControlSettings currentSettings() const;
    void apply(const ControlSettings& settings);
    void setIndicator(bool saved);
    QString fileNameForOperator() const;

    SettingsControls m_controls;
    std::filesystem::path m_file;
    SettingValues m_values;
    bool m_saved = false;
    bool m_indicatorShown = false;
};

} // namespace settings
