// Unbuffered appends with write(2): nothing waits in a user-space buffer, and each line's outcome is
// known when writeLine returns.
#include "acquisition/RecordFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace acquisition {
namespace {

int openForAppend(const std::string& path) {
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

void addReport(std::string& report, const std::string& text) {
    if (!report.empty())
        report += ' ';
    report += text;
}

} // namespace

RecordFile::OpenResult RecordFile::open(const std::string& path) {
    const int fd = openForAppend(path);
    if (fd < 0)
        return {nullptr, "Could not open the record file " + quoted(path) + ": " + std::strerror(errno)};
    return {std::unique_ptr<RecordFile>(new RecordFile(path, fd)), {}};
}

RecordFile::RecordFile(std::string path, int fd)
    : m_path(std::move(path))
    , m_fd(fd) {}

RecordFile::~RecordFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RecordFile::writeAll(std::string_view line, int& error) {
    bool wroteSome = false;
    static constexpr char kLineEnd[] = "\r\n";
    iovec parts[2] = {{const_cast<char*>(line.data()), line.size()}, {const_cast<char*>(kLineEnd), 2}};
    int count = 2;
    iovec* next = parts;
    while (count > 0) {
        const ssize_t n = ::writev(m_fd, next, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            m_partialLine = m_partialLine || wroteSome;
            return false;
        }
        wroteSome = wroteSome || n > 0;
        // A short write continues where it stopped.
        auto done = static_cast<std::size_t>(n);
        while (count > 0 && done >= next->iov_len) {
            done -= next->iov_len;
            ++next;
            --count;
        }
        if (count > 0) {
            next->iov_base = static_cast<char*>(next->iov_base) + done;
            next->iov_len -= done;
        }
    }
    return true;
}

bool RecordFile::wasRemoved() const {
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 && st.st_nlink == 0;
}

int RecordFile::reopen() {
    const int fd = openForAppend(m_path);
    if (fd < 0)
        return errno;
    ::close(m_fd);
    m_fd = fd;
    return 0;
}

RecordFile::WriteResult RecordFile::writeLine(std::string_view line) {
    WriteResult result;
    int error = 0;
    if (m_fd >= 0 && wasRemoved()) {
        // Lines written to a removed file would vanish at close: start the file again under its name.
        error = reopen();
        if (error == 0) {
            m_partialLine = false;
            result.report = "The record file " + quoted(m_path) +
                            " was removed while recording; it has been created again.";
        }
    }
    // After a line that broke off half-way, end it so the next line starts on a line of its own.
    if (error == 0 && m_partialLine && writeAll({}, error))
        m_partialLine = false;
    if (error == 0 && writeAll(line, error)) {
        result.written = true;
        if (m_failing) {
            m_failing = false;
            addReport(result.report, "Writing to the record file " + quoted(m_path) + " works again; " +
                                         std::to_string(m_lostLines - m_lostAtFailure) +
                                         " line(s) were lost.");
        }
        return result;
    }
    ++m_lostLines;
    if (!m_failing) {
        m_failing = true;
        m_lostAtFailure = m_lostLines - 1;
        addReport(result.report,
                  "Could not write to the record file " + quoted(m_path) + ": " + std::strerror(error) +
                      ". Recording goes on; lines are lost until the file can be written again.");
    }
    return result;
}

std::string RecordFile::sync() {
    if (::fdatasync(m_fd) == 0)
        return {};
    const int error = errno;
    return "Could not save the record file " + quoted(m_path) + " to disk: " + std::strerror(error);
}

} // namespace acquisition
