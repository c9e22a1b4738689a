// The connection order of Check2 as steps.
#include "telescope/Connection.h"

#include "common/Duration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace telescope {

namespace {

ConnectionStep step(ConnectionAction action, std::string text = {}, double value = 0) {
    return ConnectionStep{action, std::move(text), value};
}

// Four significant digits: enough to tell 0.5 from 0.4999, without the device's rounding noise.
std::string multipleText(double multiple) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4g", multiple);
    return buffer;
}

// Devices speak degrees per second with a handful of digits (0.0020833 for 0.5 x 15"/s reads back as
// 0.499992): compare at that precision, not at the precision of a double.
bool sameRate(double a, double b) {
    return std::fabs(a - b) <= 1e-3 * std::max(std::fabs(a), std::fabs(b));
}

// "<what> <id>: <the failure in words>."
std::string tell(const std::string& what, const std::string& id, const Failure& failure) {
    return what + " " + id + ": " + describeFailure(failure) + ".";
}

} // namespace

std::string mountLostText(const std::string& id, const std::string& reason) {
    return "The mount " + id + " was lost: " + reason +
           "\n\nRA and DEC are recorded as \"None\" and guiding pauses. The recorder reconnects by itself; "
           "clear "
           "\"Connect to ASCOM Driver\" to stop it.";
}

std::string retryStateText(int everySeconds, const std::string& lastAttemptTime, const std::string& reason) {
    return "Trying again every " + std::to_string(everySeconds) + " s, last attempt " + lastAttemptTime +
           ": " + reason;
}

std::string mountRestoredText(const std::string& id, const std::string& time,
                              std::chrono::steady_clock::duration gap) {
    return "The mount " + id + " is back since " + time + ", after " + common::durationText(gap) +
           " away: the position is read and guiding goes on.";
}

ConnectionSteps Connection::check2Changed(bool checked) {
    ConnectionSteps steps{step(ConnectionAction::ReleaseDriver)};
    const bool wasRestoring = std::exchange(m_restoring, false);
    if (wasRestoring)
        steps.push_back(step(ConnectionAction::CancelRetry));
    if (checked) {
        m_stage = ConnectionStage::Choosing;
        steps.push_back(step(ConnectionAction::OpenChooser, m_id));
        return steps;
    }
    // Cleared while the device was still being reached: that attempt made no connection, and every checked
    // run of the box writes one ASCOM line (an attempt to restore a lost mount is no run of the box).
    if (m_stage == ConnectionStage::Opening && !wasRestoring)
        steps.insert(steps.begin(), step(ConnectionAction::LogFailed, m_id));
    m_stage = ConnectionStage::Disconnected;
    steps.push_back(step(ConnectionAction::ClearCheck5));
    steps.push_back(step(ConnectionAction::StopPoll));
    steps.push_back(step(ConnectionAction::MarkSettingsChanged));
    return steps;
}

ConnectionSteps Connection::chooserClosed(std::string chosen) {
    if (m_stage != ConnectionStage::Choosing)
        return {};
    m_id = std::move(chosen);
    if (m_id.empty()) {
        m_stage = ConnectionStage::Disconnected;
        return {step(ConnectionAction::LogFailed, m_id), step(ConnectionAction::ClearCheck2),
                step(ConnectionAction::MarkSettingsChanged)};
    }
    m_stage = ConnectionStage::Opening;
    return {step(ConnectionAction::CreateDriver, m_id), step(ConnectionAction::MarkSettingsChanged)};
}

ConnectionSteps Connection::driverOpened(const Result<Done>& result) {
    if (m_stage != ConnectionStage::Opening)
        return {};
    if (m_restoring) {
        if (!result.ok())
            return attemptFailed(result.failure);
        m_stage = ConnectionStage::Connecting;
        return {step(ConnectionAction::ConnectMount)};
    }
    if (!result.ok()) {
        // No driver object: the failure line, and the box cleared, as after a cancelled chooser.
        m_stage = ConnectionStage::Disconnected;
        return {step(ConnectionAction::LogFailed, m_id),
                step(ConnectionAction::TellOperator,
                     tell("Could not reach the telescope", m_id, result.failure) +
                         " Check that it is switched on and its server is running, then check \"Connect to "
                         "ASCOM Driver\" again."),
                step(ConnectionAction::ReleaseDriver), step(ConnectionAction::ClearCheck2)};
    }
    m_stage = ConnectionStage::Connecting;
    return {step(ConnectionAction::LogEstablished, m_id), step(ConnectionAction::ConnectMount)};
}

ConnectionSteps Connection::failedAfterLog(const std::string& what, const Failure& failure) {
    m_stage = ConnectionStage::Disconnected;
    return {step(ConnectionAction::TellOperator,
                 tell(what, m_id, failure) + " \"Connect to ASCOM Driver\" has been cleared."),
            step(ConnectionAction::ReleaseDriver), step(ConnectionAction::ClearCheck2)};
}

ConnectionSteps Connection::mountConnected(const Result<Done>& result) {
    if (m_stage != ConnectionStage::Connecting)
        return {};
    if (!result.ok())
        return m_restoring ? attemptFailed(result.failure)
                           : failedAfterLog("The mount did not connect through", result.failure);
    m_stage = ConnectionStage::AskingRates;
    return {step(ConnectionAction::ReadCanSetGuideRates)};
}

ConnectionSteps Connection::canSetGuideRatesRead(const Result<bool>& result, double list8Value) {
    if (m_stage != ConnectionStage::AskingRates)
        return {};
    m_stage = ConnectionStage::Connected;
    ConnectionSteps steps;
    if (!result.ok() || !*result.value) {
        if (!result.ok())
            steps.push_back(
                step(ConnectionAction::TellOperator,
                     tell("Could not ask whether guide rates can be set on", m_id, result.failure) +
                         " The guide rates were not written; pulse lengths use the rates held from before."));
        else
            steps.push_back(step(ConnectionAction::HideList8));
        appendStartPoll(steps);
        return steps;
    }
    // The poll (and guiding) start once the writes are answered: a pulse never goes out at a rate the
    // mount has not been given yet.
    m_rateWritten = list8Value;
    return {step(ConnectionAction::WriteGuideRates, {}, list8Value)};
}

ConnectionSteps Connection::guideRatesWritten(const Result<Done>& ra, const Result<Done>& dec) {
    if (m_stage != ConnectionStage::Connected)
        return {};
    ConnectionSteps steps;
    for (const auto* r : {&ra, &dec})
        if (!r->ok())
            steps.push_back(step(ConnectionAction::TellOperator,
                                 tell(std::string("The mount refused the ") + (r == &ra ? "RA" : "Dec") +
                                          " guide rate of " + multipleText(m_rateWritten) + " x 15\"/s on",
                                      m_id, r->failure)));
    appendStartPoll(steps);
    steps.push_back(step(ConnectionAction::ReadGuideRates));
    return steps;
}

void Connection::appendStartPoll(ConnectionSteps& steps) {
    steps.push_back(step(ConnectionAction::StartPoll));
    if (std::exchange(m_restoring, false))
        steps.push_back(step(ConnectionAction::ReportRestored));
}

ConnectionSteps Connection::mountLost(const std::string& reason) {
    if (m_stage != ConnectionStage::Connected)
        return {};
    m_restoring = true;
    m_stage = ConnectionStage::Waiting;
    m_retrySeconds = 1;
    return {step(ConnectionAction::ReleaseDriver), step(ConnectionAction::ReportLost, reason),
            step(ConnectionAction::ScheduleRetry, {}, m_retrySeconds)};
}

ConnectionSteps Connection::retryDue() {
    if (m_stage != ConnectionStage::Waiting)
        return {};
    m_stage = ConnectionStage::Opening;
    return {step(ConnectionAction::CreateDriver, m_id)};
}

ConnectionSteps Connection::attemptFailed(const Failure& failure) {
    m_stage = ConnectionStage::Waiting;
    m_retrySeconds = std::min(2 * m_retrySeconds, kLongestRetrySeconds);
    return {step(ConnectionAction::ReleaseDriver),
            step(ConnectionAction::ReportRetryFailed, describeFailure(failure), m_retrySeconds),
            step(ConnectionAction::ScheduleRetry, {}, m_retrySeconds)};
}

ConnectionSteps Connection::guideRatesRead(const Result<double>& ra, const Result<double>& dec) {
    if (m_stage != ConnectionStage::Connected)
        return {};
    // A rate that cannot be read back is no news: the write's own outcome was already told.
    const bool raDiffers = ra.ok() && !sameRate(*ra.value, m_rateWritten);
    const bool decDiffers = dec.ok() && !sameRate(*dec.value, m_rateWritten);
    if (!raDiffers && !decDiffers)
        return {};
    std::string text =
        "The mount " + m_id + " reports guide rates of RA " + (ra.ok() ? multipleText(*ra.value) : "?") +
        " and Dec " + (dec.ok() ? multipleText(*dec.value) : "?") + " x 15\"/s, not the " +
        multipleText(m_rateWritten) + " written. Pulse lengths are computed for the rate in \"Guide Rate\".";
    return {step(ConnectionAction::TellOperator, text)};
}

} // namespace telescope
