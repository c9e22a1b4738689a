// A pseudo-terminal standing in for a serial device in tests: the code under test opens slavePath(),
// the test plays the device through the master side (bursts from a writer thread, hang-up).
#pragma once

#include "PseudoTerminal.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class PtyPair {
public:
    // Creates the pair raw (no echo, no CR/LF translation) at 9600 baud and keeps the slave side open
    // for its whole life, so that the code under test closing its port does not hang up the master.
    // On failure ok() is false and error() says why.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return !m_pty.slavePath.empty(); }
    const std::string& error() const { return m_error; }
    const std::string& slavePath() const { return m_pty.slavePath; }
    // The pair's own slave descriptor, e.g. to read the line settings the code under test applied.
    int slaveFd() const { return m_pty.slave; }

    // Writes from the calling thread. A pty holds only a few KB: keep this to small amounts, or the
    // caller blocks until the reader (often the same thread) drains it. False on error or full buffer.
    bool write(std::span<const std::uint8_t> bytes);

    // Writes from a background thread, `chunk` bytes per write() and `pause` after each, so that a
    // burst larger than the pty's buffer reaches a reader running an event loop on this thread.
    void writeInBackground(std::vector<std::uint8_t> bytes, std::size_t chunk = 1,
                           std::chrono::microseconds pause = {});
    bool writerDone() const { return m_writerDone.load(); }

    // Closes the master side: to whoever has the slave open, the device hung up (as a pulled adapter).
    void hangUp();

private:
    void writerLoop(std::vector<std::uint8_t> bytes, std::size_t chunk, std::chrono::microseconds pause);
    void stopWriter();

    qelsim::Pty m_pty; // made as the simulated unit makes its own
    std::string m_error;
    std::thread m_writer;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_writerDone{true};
};

} // namespace testsupport
