#include "app/EventLog.h"

#include <cerrno>
#include <cstring>

namespace app {

EventLog::EventLog(std::string path, std::FILE* file, const common::Clock& clock,
                   const common::TimeStampFormatter& formatter)
    : m_path(std::move(path))
    , m_file(file)
    , m_clock(&clock)
    , m_formatter(&formatter) {}

EventLog::OpenResult EventLog::open(const std::string& path, const common::Clock& clock,
                                    const common::TimeStampFormatter& formatter) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return {nullptr, std::strerror(errno)};
    return {std::unique_ptr<EventLog>(new EventLog(path, f, clock, formatter)), {}};
}

bool EventLog::write(std::string_view message) {
    std::string line;
    line.reserve(24 + message.size() + 2);
    m_formatter->appendStamp(line, m_clock->now());
    line += message;
    line += "\r\n";
    errno = 0;
    const bool ok = std::fwrite(line.data(), 1, line.size(), m_file.get()) == line.size() &&
                    std::fflush(m_file.get()) == 0;
    if (!ok)
        m_lastError = errno ? std::strerror(errno) : "write failed";
    return ok;
}

} // namespace app
