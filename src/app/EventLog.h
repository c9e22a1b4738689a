// The event log "QEL_TE_Recorder_log.txt": one time-stamped line per milestone of a run, emptied at every
// start, CR LF line ends, flushed after every line so that the trail survives a crash.
#pragma once

#include "common/Clock.h"
#include "common/FilePtr.h"
#include "common/TimeStamp.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace app {

inline constexpr const char* kEventLogName = "QEL_TE_Recorder_log.txt";

class EventLog {
public:
    struct OpenResult;

    // Creates or empties the log at path (the working directory's kEventLogName in the program).
    // The clock and formatter must outlive the log.
    static OpenResult open(const std::string& path, const common::Clock& clock,
                           const common::TimeStampFormatter& formatter);

    // Appends "<stamp><message>\r\n" and flushes. Messages carry their own leading blank.
    // Returns false when the line could not be written (the reason is in lastError()).
    bool write(std::string_view message);

    const std::string& path() const { return m_path; }
    const std::string& lastError() const { return m_lastError; }

private:
    EventLog(std::string path, std::FILE* file, const common::Clock& clock,
             const common::TimeStampFormatter& formatter);

    std::string m_path;
    common::FilePtr m_file;
    const common::Clock* m_clock;
    const common::TimeStampFormatter* m_formatter;
    std::string m_lastError;
};

struct EventLog::OpenResult {
    std::unique_ptr<EventLog> log; // null on failure
    std::string error;             // the system's reason when log is null
};

// The messages of the event log, exactly as they are written.
namespace logmsg {
inline constexpr std::string_view kStartup = " QEL Log File Startup";
inline constexpr std::string_view kLoadSettingsComplete = " Load Settings Complete";
inline constexpr std::string_view kChartInitialized = " Chart Initialized";
inline constexpr std::string_view kSerialEstablished = " Established QEL Serial Connection";
inline constexpr std::string_view kSerialFailed = " Failed to Establish QEL Serial Connection";
inline constexpr std::string_view kAscomEstablished = " Established ASCOM Connection ";
inline constexpr std::string_view kAscomFailed = " Failed to Establish ASCOM Connection ";
inline constexpr std::string_view kPidEnabled = " PID Controller Enabled";
inline constexpr std::string_view kPidDisabled = " PID Controller Disabled";
} // namespace logmsg

} // namespace app
