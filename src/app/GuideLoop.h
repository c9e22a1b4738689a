// Guiding on the window: "Enable ASCOM PID Control" (Check5) and the PID timer Timer1. Each tick hands the
// newest reading, the gains and the connected driver to telescope_guiding, which decides and sends; this side
// asks "Unpark Scope?" in a box that does not stop the program and tells the operator what went wrong.
// Inputs arrive one way: readings from the recording run, runs starting and stopping, the driver and its
// guide rates from the telescope link once the connection is made. Form1 owns it and wires those signals to
// it.
#pragma once

#include "acquisition/RecordWriter.h"
#include "app/Form1Layout.h"
#include "common/Clock.h"
#include "common/TimeStamp.h"
#include "telescope/guiding/GuideController.h"
#include "telescope/guiding/GuideOutput.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <optional>
#include <string>

class QMessageBox;
class QTimer;
class QWidget;

namespace app {

class EventLog;
class OperatorMessages;

class GuideLoop : public QObject {
    Q_OBJECT
public:
    // All references must outlive the loop. clock and stamps stamp the guide log's lines.
    GuideLoop(const Form1Controls& controls, const common::Clock& clock,
              const common::TimeStampFormatter& stamps, EventLog& log, OperatorMessages& messages,
              QWidget* window);
    ~GuideLoop() override;

    // The PID timer (object name "Timer1"): it ticks while a run is on with its link open, PID control is on
    // and a control rate has given it an interval.
    QTimer* Timer1() const { return m_timer1; }

    // Check5 changed state: the log line, the PID lists, Timer1, and Check2 checked when switched on.
    void Check5_Click();
    void Timer1_Timer();

    // Start: the control period from List4 ("1 Hz", "2 Hz", "5 Hz": 1000, 500, 200 ms), ticks while PID
    // control is on. linkOpen false: Start failed, no readings will come, so no ticks.
    void runStarted(bool linkOpen);
    // Stop, or the link to the unit lost: no more ticks, and nothing more sent for a tick under way.
    void runStopped();
    void readingsInterrupted();
    // The link lost during the run is back: ticks again while PID control is on. A reading from before the
    // gap is too old to be guided on (GuideController::maxReadingAge); the next ones are.
    void readingsResumed();
    // A reading as the recording run decoded it; the newest one is guided on.
    void readingDecoded(double trackingError, std::chrono::steady_clock::time_point at);
    // The driver the telescope link connected, with the guide rates in force; nullptr when it is released.
    void setDriver(telescope::Driver* driver, telescope::GuideRates rates);
    // From now on every tick writes one line to the guide log at path (appended to, created if missing),
    // the file's writing on a thread of its own. Empty when opened, else why not, naming the file.
    QString openGuideLog(const QString& path);

    const telescope::GuideController& controller() const { return m_controller; }
    const telescope::GuideOutput& output() const { return m_output; }
    // The unpark question while it is open, else nullptr.
    QMessageBox* unparkBox() const;

private:
    void updateTimer();
    void warnNoControlRate();
    void tellError(const std::string& message);
    void writeGuideLog(const std::string& line);
    void showStatus();
    static std::chrono::milliseconds steadyMs(std::chrono::steady_clock::time_point t);

    const Form1Controls& m_c;
    const common::Clock& m_clock;
    const common::TimeStampFormatter& m_stamps;
    EventLog& m_log;
    OperatorMessages& m_messages;
    QWidget* m_window;
    QTimer* m_timer1;
    int m_intervalMs = 0; // set by Start from List4; 0 until a Start found a control rate
    bool m_runActive = false;
    bool m_linkOpen = false;
    bool m_pidOn = false;
    telescope::GuideRates m_rates;
    std::optional<telescope::LatestReading> m_latest;
    telescope::GuideController m_controller;
    telescope::GuideOutput m_output;
    QPointer<QMessageBox> m_unparkBox;
    // The guiding error last shown: the same error again is counted in its box, not raised. Forgotten once a
    // tick's pulses went through.
    std::string m_toldError;
    int m_sentWhenTold = 0;
    // The guide log, when the program was started with --guide-log; its reports are told like the record
    // file's.
    std::unique_ptr<acquisition::RecordWriter> m_guideLog;
};

} // namespace app
