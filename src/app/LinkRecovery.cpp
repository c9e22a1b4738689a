// The state of a lost link to the QEL unit and its words.
#include "app/LinkRecovery.h"

#include "common/Duration.h"

#include <cstdio>

namespace app {

namespace {

std::string twoDigits(long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%02lld", value);
    return text;
}

std::string retryText() {
    return "trying again every " +
           std::to_string(
               std::chrono::duration_cast<std::chrono::seconds>(LinkRecovery::retryInterval).count()) +
           " s";
}

} // namespace

std::string timeOfDay(const common::LocalTime& t) {
    return twoDigits(t.hour) + ':' + twoDigits(t.minute) + ':' + twoDigits(t.second);
}

void LinkRecovery::lost(const std::string& port, const LinkMoment& at) {
    m_trying = true;
    m_stopped = false;
    m_port = port;
    m_lostAt = at;
    m_lastReason.clear();
}

void LinkRecovery::attemptFailed(const std::string& reason, const common::LocalTime& at) {
    m_lastAttempt = at;
    m_lastReason = reason;
}

std::string LinkRecovery::restored(const std::string& port, const LinkMoment& at) {
    m_trying = false;
    m_lastReason.clear();
    return "The link to the QEL unit on " + port + " is back since " + timeOfDay(at.local) +
           ", after a gap of " + common::durationText(at.steady - m_lostAt.steady) + " (lost at " +
           timeOfDay(m_lostAt.local) +
           ").\n\nRecording goes on into the same record file; the gap shows there as a jump of the time "
           "stamps.";
}

void LinkRecovery::stopped(const common::LocalTime& at) {
    if (!m_trying)
        return;
    m_trying = false;
    m_stopped = true;
    m_stoppedAt = at;
}

std::string LinkRecovery::lostMessage() const {
    return "The link to the QEL unit on " + m_port + " was lost at " + timeOfDay(m_lostAt.local) +
           ": the device hung up or was unplugged.\n\nEvery reading received until then is in the record "
           "file. The recorder is trying every second to open the port again and then goes on recording "
           "into the same file. Check the cable and the unit; press Stop to end the trying.";
}

std::string LinkRecovery::status() const {
    if (!m_trying && !m_stopped)
        return {};
    std::string text = "Link lost at " + timeOfDay(m_lostAt.local) + "; ";
    const std::string attempt = m_lastReason.empty()
                                    ? std::string()
                                    : "last attempt " + timeOfDay(m_lastAttempt) + ": " + m_lastReason;
    if (m_stopped)
        return text + "Stop ended the trying at " + timeOfDay(m_stoppedAt) +
               (attempt.empty() ? std::string() : " (" + attempt + ")");
    return text + retryText() + (attempt.empty() ? std::string() : ", " + attempt);
}

} // namespace app
