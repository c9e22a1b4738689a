// Form1, the recorder's only working window: it owns the controls, the shared window state, the timers and
// the event log, runs the start-up sequence and wires each control to its handler. Handlers stay short: they
// read controls, call the plain-C++ core and write controls.
#pragma once

#include "app/EventLog.h"
#include "app/Form1Layout.h"
#include "common/Clock.h"
#include "common/TimeStamp.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QAction;
class QTimer;

namespace settings {
class SettingsBinder;
}

namespace app {

class OperatorMessages;
class RecordingRun;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The clock, formatter and event log must outlive the window.
    Form1(const common::Clock& clock, const common::TimeStampFormatter& formatter, EventLog& log,
          QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence, run once before the window is shown.
    void startUp();

    // Problems found during start-up that the operator must read once the window is visible (a settings
    // file that could not be loaded, so the factory settings are in use). Empty when there were none.
    const QStringList& startUpProblems() const { return m_startUpProblems; }

    const Form1Controls& controls() const { return m_c; }
    RecordingRun& recordingRun() { return *m_run; }
    settings::SettingsBinder& settingsBinder() { return *m_settings; }
    OperatorMessages& messages() { return *m_messages; }

    // The clock caption: "yyyy-MMM-dd HH:nn:ss LCT".
    void Timer2_Timer();

    // File menu.
    void LoadSettings_Click();
    void SaveSettings_Click();

private:
    void buildMenu();
    void Command3_Click();
    void Text1_Change();

    const common::Clock& m_clock;
    const common::TimeStampFormatter& m_formatter;
    EventLog& m_log;
    Form1Controls m_c;
    OperatorMessages* m_messages = nullptr;
    RecordingRun* m_run = nullptr;
    std::unique_ptr<settings::SettingsBinder> m_settings;
    QTimer* m_timer2 = nullptr;
    QStringList m_startUpProblems;
};

} // namespace app
