// Pseudo-terminal pair for serial tests.
#include "support/PtyPair.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace testsupport {

// The simulated unit's own pseudo-terminal: raw, 9600 baud, the master non-blocking so that no write can hang
// a test whose reader has stopped reading.
PtyPair::PtyPair() {
    if (!m_pty.create(m_error))
        m_pty.slavePath.clear();
}

PtyPair::~PtyPair() {
    stopWriter();
}

bool PtyPair::write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (m_pty.master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_pty.master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return done == bytes.size();
}

void PtyPair::writeInBackground(std::vector<std::uint8_t> bytes, std::size_t chunk,
                                std::chrono::microseconds pause) {
    stopWriter();
    m_stop = false;
    m_writerDone = false;
    m_writer = std::thread(&PtyPair::writerLoop, this, std::move(bytes), chunk == 0 ? 1 : chunk, pause);
}

void PtyPair::writerLoop(std::vector<std::uint8_t> bytes, std::size_t chunk,
                         std::chrono::microseconds pause) {
    std::size_t done = 0;
    while (done < bytes.size() && !m_stop) {
        const std::size_t want = std::min(chunk, bytes.size() - done);
        const ssize_t n = ::write(m_pty.master, bytes.data() + done, want);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            if (pause.count() > 0)
                std::this_thread::sleep_for(pause);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_pty.master, POLLOUT, 0};
            ::poll(&p, 1, 50); // the reader drains the buffer; look at m_stop now and then
        } else {
            break;
        }
    }
    m_writerDone = true;
}

void PtyPair::stopWriter() {
    m_stop = true;
    if (m_writer.joinable())
        m_writer.join();
    m_writerDone = true;
}

void PtyPair::hangUp() {
    stopWriter();
    if (m_pty.master >= 0)
        ::close(m_pty.master);
    m_pty.master = -1;
}

} // namespace testsupport
