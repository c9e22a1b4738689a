// The link to the QEL unit while it is being restored during a run: when it was lost, the latest attempt to
// open it again and what came of it, and the words that tell the operator. Plain C++ with the times handed
// in; RecordingRun tries once a second and shows these texts (message, Label3's and Label16's tooltips).
#pragma once

#include "common/Clock.h"

#include <chrono>
#include <string>

namespace app {

// One moment, on both clocks: the steady one measures the gap, the wall clock names the time of day.
struct LinkMoment {
    std::chrono::steady_clock::time_point steady;
    common::LocalTime local;
};

class LinkRecovery {
public:
    static constexpr std::chrono::milliseconds retryInterval{1000};

    // The link to `port` (as acquisition::portForOperator names it) was lost: trying begins.
    void lost(const std::string& port, const LinkMoment& at);
    // An attempt did not open the port; `reason` in words ("/w/COM1 leads to /dev/pts/5, which is not
    // there").
    void attemptFailed(const std::string& reason, const common::LocalTime& at);
    // The port is open again, as `port`: trying ends. Returns the message for the operator (gap and its end).
    std::string restored(const std::string& port, const LinkMoment& at);
    // Stop ended the trying.
    void stopped(const common::LocalTime& at);

    bool trying() const { return m_trying; }
    // What the operator is told once when the link is lost.
    std::string lostMessage() const;
    // One line on the state of the link since it was lost: "Link lost at 21:14:07; trying again every 1 s,
    // last attempt 21:14:09: <reason>", or how the trying ended. Empty before any loss.
    std::string status() const;

private:
    bool m_trying = false;
    bool m_stopped = false;
    std::string m_port;
    LinkMoment m_lostAt{};
    common::LocalTime m_lastAttempt{};
    std::string m_lastReason; // empty until the first attempt failed
    common::LocalTime m_stoppedAt{};
};

// "21:14:07".
std::string timeOfDay(const common::LocalTime& t);

} // namespace app
