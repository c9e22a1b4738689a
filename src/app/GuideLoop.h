// The Timer1 tick on the window: reads the gains and the latest reading, lets telescope_guiding decide and
// send, asks "Unpark Scope?" in a box that does not stop the program, and tells the operator what went
// wrong. Form1 owns it; the telescope link supplies the driver object and the guide rates.
#pragma once

#include "app/Form1Layout.h"
#include "telescope/guiding/GuideController.h"
#include "telescope/guiding/GuideOutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <optional>

class QMessageBox;
class QWidget;

namespace app {

class EventLog;
class OperatorMessages;
class RecordingRun;

class GuideLoop : public QObject {
    Q_OBJECT
public:
    // All references must outlive the loop. Ticks follow run's Timer1; readings follow its serial link.
    GuideLoop(const Form1Controls& controls, RecordingRun& run, EventLog& log, OperatorMessages& messages,
              QWidget* window);
    ~GuideLoop() override;

    // Where myTelescope (nullptr when none) and guideRateRa / guideRateDec come from.
    void setTelescope(std::function<telescope::Driver*()> driver,
                      std::function<telescope::GuideRates()> rates);
    // The driver object was made or released: calls still out to the old one are forgotten.
    void driverChanged();

    void Timer1_Timer();

    const telescope::GuideController& controller() const { return m_controller; }
    const telescope::GuideOutput& output() const { return m_output; }
    // The unpark question while it is open, else nullptr.
    QMessageBox* unparkBox() const;

private:
    void readingArrived();
    void showStatus();
    std::chrono::milliseconds now() const { return std::chrono::milliseconds(m_clock.elapsed()); }

    const Form1Controls& m_c;
    RecordingRun& m_run;
    EventLog& m_log;
    OperatorMessages& m_messages;
    QWidget* m_window;
    std::function<telescope::Driver*()> m_driver;
    std::function<telescope::GuideRates()> m_rates;
    telescope::Driver* m_lastDriver = nullptr;
    telescope::GuideController m_controller;
    telescope::GuideOutput m_output;
    QElapsedTimer m_clock; // steady: a change of the wall clock cannot make a reading look fresh or stale
    std::optional<std::chrono::milliseconds> m_lastReadingAt;
    QPointer<QMessageBox> m_unparkBox;
};

} // namespace app
