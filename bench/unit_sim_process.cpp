#include "unit_sim_process.h"

#include "load_probes.h"

#include <QFile>

namespace loadbench {

bool UnitSimProcess::start(const QString& program, const QString& dir, double rate, double seconds,
                           const QString& codesFile) {
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("--port"), QStringLiteral("1"), QStringLiteral("--dir"), dir,
                            QStringLiteral("--rate"), QString::number(rate), QStringLiteral("--seconds"),
                            QString::number(seconds), QStringLiteral("--codes-out"), codesFile,
                            QStringLiteral("--hold")});
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                     [this] { m_out += m_process.readAllStandardOutput(); });
    m_process.start();
    const auto ready = [this] {
        return m_out.contains("COM1 -> ");
    };
    runUntil([&] { return ready() || m_process.state() == QProcess::NotRunning; }, 10000);
    if (!ready()) {
        const QString reason = m_process.errorString();
        stop();
        m_error = (program + QStringLiteral(" did not make COM1: ") + reason + QLatin1Char(' ') + m_error)
                      .trimmed();
        return false;
    }
    m_clock.start();
    m_cpuAtReady = cpuSecondsOf(m_process.processId());
    return true;
}

std::optional<double> UnitSimProcess::cpuShare() const {
    const auto now = cpuSecondsOf(m_process.processId());
    if (!now || !m_cpuAtReady)
        return std::nullopt;
    return (*now - *m_cpuAtReady) / secondsSinceReady();
}

void UnitSimProcess::stop() {
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    m_out += m_process.readAllStandardOutput();
    m_error = QString::fromLocal8Bit(m_process.readAllStandardError()).simplified();
}

std::optional<std::uint64_t> UnitSimProcess::sent(QString& line) const {
    for (const QByteArray& l : m_out.split('\n')) {
        if (l.startsWith("qel-unit-sim: sent ")) {
            line = QString::fromLatin1(l.trimmed());
            bool ok = false;
            const std::uint64_t n = l.mid(19).split(' ').value(0).toULongLong(&ok);
            return ok ? std::optional<std::uint64_t>(n) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<int> codesSent(const QString& path) {
    std::vector<int> codes;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                codes.push_back(line.trimmed().toInt());
    }
    return codes;
}

std::vector<int> codesRecorded(const QString& path) {
    std::vector<int> codes;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            bool ok = false;
            const int code = line.split(':').value(1).toInt(&ok);
            codes.push_back(ok ? code : -1);
        }
    }
    return codes;
}

} // namespace loadbench
