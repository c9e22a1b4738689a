// qel-unit-sim as a child process of bench_recording_run, and the two lists the run is judged by: the codes
// the simulator sent and the codes in the record file.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace loadbench {

// The simulated unit on COM1 of a directory, sending `rate` readings/s for `seconds`, writing every code it
// sent to a file, and holding the line after its last reading until it is told to go.
class UnitSimProcess {
public:
    // Starts `program` and runs the event loop until its ready line; false, with the reason in error(),
    // if that did not come within 10 s.
    bool start(const QString& program, const QString& dir, double rate, double seconds,
               const QString& codesFile);

    // Its CPU share of one core since it was ready; nullopt if /proc could not tell.
    std::optional<double> cpuShare() const;
    double secondsSinceReady() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e9; }

    // Lets it go (SIGTERM, then SIGKILL after 10 s) and collects what it said.
    void stop();

    // From its closing line "qel-unit-sim: sent N readings[; ...]": N, and the line in `line`.
    std::optional<std::uint64_t> sent(QString& line) const;
    // Its standard error, on one line; a failure to start.
    const QString& error() const { return m_error; }

private:
    QProcess m_process;
    QByteArray m_out;
    QString m_error;
    QElapsedTimer m_clock;
    std::optional<double> m_cpuAtReady;
};

// The codes the simulator wrote, one decimal per line.
std::vector<int> codesSent(const QString& path);
// The decimal codes of the record file's lines ("7E:126: 2013-Jan-05 ..." gives 126; -1 for a line without
// one).
std::vector<int> codesRecorded(const QString& path);

} // namespace loadbench
