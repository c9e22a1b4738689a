// The order of connecting a telescope ("Connect to ASCOM Driver", Check2) as a plain state machine: each
// event (the box changed, the chooser closed, the driver answered, the mount was lost, a retry is due)
// returns the steps the window carries out, in order. The window applies them; it never decides them. A
// mount lost while connected is reconnected by itself, without the chooser and without log lines, after 1 s,
// then 2, 4, 8 ... up to every 30 s, until it is back or Check2 is cleared. Used by the telescope's Qt part
// and its tests.
#pragma once

#include "telescope/Driver.h"

#include <chrono>
#include <string>
#include <vector>

namespace telescope {

enum class ConnectionAction {
    ReleaseDriver,        // let the driver go: it disconnects what it connected, then is dropped
    OpenChooser,          // the modal chooser, preselecting id(); its result goes to chooserClosed()
    CreateDriver,         // make the driver for text (the identifier) and open it; result to driverOpened()
    LogEstablished,       // the event log's line for a connection made to text (the identifier)
    LogFailed,            // the event log's line for an attempt on text that made no connection
    ClearCheck2,          // a nested run of the box's own handler
    ClearCheck5,          // the PID control's box; its handler runs nested
    StopPoll,             // PositionCalc_Timer off
    StartPoll,            // PositionCalc_Timer on: the connection is made and the driver may be guided
    ConnectMount,         // Connected = true; result to mountConnected()
    ReadCanSetGuideRates, // result to canSetGuideRatesRead()
    WriteGuideRates,      // guideRateRa and guideRateDec := value (multiple of 15"/s), then both writes; the
                          // two results to guideRatesWritten()
    ReadGuideRates,       // read both back; results to guideRatesRead()
    HideList8,            // the driver cannot set guide rates: the rate list goes for the rest of the run
    TellOperator,         // a non-modal message under the topic "telescope": text
    MarkSettingsChanged,  // the settings indicator turns red
    // Restoring a lost mount:
    ReportLost,        // the mount was lost (text: why, in words); positions "None", guiding paused
    ScheduleRetry,     // the next attempt in value seconds: its time comes to retryDue()
    CancelRetry,       // no more attempts
    ReportRetryFailed, // an attempt failed (text: why); the next one in value seconds
    ReportRestored,    // the mount is back: the poll and guiding run again
};

struct ConnectionStep {
    ConnectionAction action;
    std::string text;
    double value = 0;
    bool operator==(const ConnectionStep&) const = default;
};
using ConnectionSteps = std::vector<ConnectionStep>;

enum class ConnectionStage {
    Disconnected,
    Choosing,   // the chooser is open
    Opening,    // reaching the device, confirming it is a telescope
    Connecting, // Connected = true sent
    AskingRates,
    Connected, // position poll running
    Waiting,   // the mount was lost: the next attempt to restore it is scheduled
};

class Connection {
public:
    // ID: the identifier last chosen; empty at start-up, kept across disconnections.
    const std::string& id() const { return m_id; }
    void setId(std::string id) { m_id = std::move(id); }
    ConnectionStage stage() const { return m_stage; }

    // The box changed state (by the operator or from code). checked: state 1; clear and greyed are false.
    // Cleared while the device is still being reached, the attempt's failure line comes first.
    ConnectionSteps check2Changed(bool checked);
    // The chooser returned; an empty identifier means it was cancelled.
    ConnectionSteps chooserClosed(std::string chosen);
    ConnectionSteps driverOpened(const Result<Done>& result);
    ConnectionSteps mountConnected(const Result<Done>& result);
    // list8Value: the number at the start of List8's text (0 for an empty text).
    ConnectionSteps canSetGuideRatesRead(const Result<bool>& result, double list8Value);
    ConnectionSteps guideRatesWritten(const Result<Done>& ra, const Result<Done>& dec);
    // The rates the mount reports, as multiples of 15"/s.
    ConnectionSteps guideRatesRead(const Result<double>& ra, const Result<double>& dec);
    // The connected mount stopped answering or its server went away (reason in words). Ignored unless
    // connected.
    ConnectionSteps mountLost(const std::string& reason);
    // The scheduled attempt is due: the whole connect sequence runs again on ID.
    ConnectionSteps retryDue();

    // A lost mount is being restored (attempts scheduled or under way).
    bool restoring() const { return m_restoring; }

    // Seconds between attempts: the first after 1 s, then doubled up to this.
    static constexpr int kLongestRetrySeconds = 30;

private:
    ConnectionSteps failedAfterLog(const std::string& what, const Failure& failure);
    ConnectionSteps attemptFailed(const Failure& failure);
    void appendStartPoll(ConnectionSteps& steps);

    std::string m_id;
    ConnectionStage m_stage = ConnectionStage::Disconnected;
    double m_rateWritten = 0;
    bool m_restoring = false;
    int m_retrySeconds = 0; // the wait before the attempt scheduled last
};

// The operator's words while a lost mount is restored. time: local "HH:MM:SS"; gap: how long the mount was
// away.
std::string mountLostText(const std::string& id, const std::string& reason);
std::string retryStateText(int everySeconds, const std::string& lastAttemptTime, const std::string& reason);
std::string mountRestoredText(const std::string& id, const std::string& time,
                              std::chrono::steady_clock::duration gap);

} // namespace telescope
