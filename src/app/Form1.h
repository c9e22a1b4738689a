// Form1, the recorder's only working window: it owns the controls, the shared window state, the timers and
// the event log, runs the start-up sequence and wires each control to its handler. Handlers stay short: they
// read controls, call the plain-C++ core and write controls.
#pragma once

#include "app/Clock.h"
#include "app/EventLog.h"
#include "app/Form1Layout.h"
#include "app/TimeStamp.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QAction;
class QTimer;

namespace app {

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The clock and the event log must outlive the window.
    Form1(const Clock& clock, const TimeStampFormatter& formatter, EventLog& log, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence, run once before the window is shown.
    void startUp();

    // Problems found during start-up that the operator must read once the window is visible
    // (for example a settings file that could not be loaded). Empty when there were none.
    const QStringList& startUpProblems() const { return m_startUpProblems; }

    const Form1Controls& controls() const { return m_c; }

    // Shared window state.
    double scaleHigh = 16.0;
    double scaleLow = -16.0;

    // The clock caption: "yyyy-MMM-dd HH:nn:ss LCT".
    void Timer2_Timer();

private:
    void buildMenu();
    void DoTheChart();
    void Text1_Change();

    const Clock& m_clock;
    const TimeStampFormatter& m_formatter;
    EventLog& m_log;
    Form1Controls m_c;
    QTimer* m_timer2 = nullptr;
    QAction* m_loadSettings = nullptr;
    QAction* m_saveSettings = nullptr;
    QAction* m_about = nullptr;
    QStringList m_startUpProblems;
};

} // namespace app
