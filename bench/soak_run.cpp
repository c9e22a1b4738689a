// A night at the telescope, shortened to an hour: the real window records from qel-unit-sim at 8 readings/s
// and guides a simulated mount with PID control on, while a fault strikes every 1 to 3 minutes at random:
// the unit unplugged for 2 to 20 s, the mount's server killed and started again, the mount hung for 10 s
// (Alpaca), the INDI server started again (INDI). The links must come back by themselves. Run by
// bench/soak.sh; not a test.
//
// Report: readings sent while the unit was plugged in against readings recorded (must be equal), each gap in
// the readings against the time the unit was away, time from each mount return to the first pulse, resident
// memory at start and end, event-loop stalls over 100 ms.
#include "app/Form1.h"
#include "app/GuideLoop.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "load_probes.h"
#include "recorder_window.h"
#include "unit_sim_process.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>
#include <vector>

#ifndef QEL_UNIT_SIM_PATH
#define QEL_UNIT_SIM_PATH "qel-unit-sim"
#endif
#ifndef ALPACA_MOUNT_SIM_PATH
#define ALPACA_MOUNT_SIM_PATH "alpaca-mount-sim"
#endif

namespace {

using Steady = std::chrono::steady_clock;

double secondsBetween(Steady::time_point a, Steady::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// Resident memory of this process, megabytes.
double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096.0 / (1024.0 * 1024.0);
}

// The simulated mount's server: alpaca-mount-sim on a fixed port, or indiserver with the telescope simulator
// on 7624 (inside the private network namespace soak.sh makes).
class MountServer {
public:
    explicit MountServer(bool indi)
        : m_indi(indi) {}

    bool start() {
        m_process = std::make_unique<QProcess>();
        if (m_indi) {
            m_process->setProgram(QStringLiteral("indiserver"));
            m_process->setArguments(
                {QStringLiteral("-p"), QStringLiteral("7624"), QStringLiteral("indi_simulator_telescope")});
        } else {
            m_process->setProgram(QStringLiteral(ALPACA_MOUNT_SIM_PATH));
            m_process->setArguments({QStringLiteral("--port"), QString::number(m_port)});
        }
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->start();
        if (!m_process->waitForStarted(10000))
            return false;
        if (m_indi)
            return true;
        if (!loadbench::runUntil([this] { return m_process->canReadLine(); }, 10000))
            return false;
        const QByteArray line = m_process->readLine();
        const int at = line.indexOf("127.0.0.1:");
        m_port = at >= 0 ? line.mid(at + 10).split(' ').value(0).toUShort() : 0;
        return m_port != 0;
    }
    // The server that with_indiserver.sh started (INDISERVER_PID) is killed at the first restart.
    void kill() {
        if (m_process) {
            m_process->terminate();
            m_process->waitForFinished(5000);
            m_process.reset();
        } else if (const int pid = qEnvironmentVariableIntValue("INDISERVER_PID"); m_indi && pid > 0) {
            ::kill(pid, SIGTERM);
        }
    }
    void fault(const char* name) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/sim/fault").arg(m_port)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        QNetworkReply* reply = m_net.put(request, QByteArray("Fault=") + name);
        loadbench::runUntil([reply] { return reply->isFinished(); }, 5000);
        reply->deleteLater();
    }
    std::string id() const {
        return m_indi ? "indi://127.0.0.1:7624/Telescope Simulator"
                      : "alpaca://127.0.0.1:" + std::to_string(m_port) + "/telescope/0";
    }
    bool indi() const { return m_indi; }
    bool alive() const { return m_indi || (m_process && m_process->state() == QProcess::Running); }

private:
    bool m_indi;
    quint16 m_port = 0;
    std::unique_ptr<QProcess> m_process;
    QNetworkAccessManager m_net;
};

struct UnitGap {
    double away = 0; // from unplugging to plugging in again, seconds
    double gap = 0;  // between the last reading before and the first after, seconds
};

} // namespace

// Qt's offscreen platform says at every message box that it cannot do what a window manager does: no news.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support")))
        return;
    qt_message_output(type, context, text);
}

int main(int argc, char** argv) {
    qInstallMessageHandler(quietOffscreen);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    double minutes = 60;
    bool indi = false;
    unsigned seed = 1;
    const QStringList args = qapp.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == "--minutes" && i + 1 < args.size())
            minutes = args[++i].toDouble();
        else if (args[i] == "--mount" && i + 1 < args.size())
            indi = args[++i] == "indi";
        else if (args[i] == "--seed" && i + 1 < args.size())
            seed = args[++i].toUInt();
        else {
            std::cerr << "usage: bench_soak [--minutes M] [--mount alpaca|indi] [--seed S]\n";
            return 2;
        }
    }
    std::mt19937 random(seed);
    const auto uniform = [&random](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };

    QTemporaryDir dir;
    dir.setAutoRemove(false);
    QDir::setCurrent(dir.path());
    std::cout << "Soak run of " << minutes << " min, mount " << (indi ? "INDI" : "Alpaca") << ", seed "
              << seed << ", in " << dir.path().toStdString() << std::endl;

    MountServer mount(indi);
    if (!indi && !mount.start()) {
        std::cerr << "bench_soak: the mount simulator did not start\n";
        return 2;
    }
    const double runSeconds = minutes * 60;
    int unitInstances = 0;
    auto unit = std::make_unique<loadbench::UnitSimProcess>();
    const auto plugIn = [&] {
        unit = std::make_unique<loadbench::UnitSimProcess>();
        const QString codes = dir.filePath(QStringLiteral("codes-%1.txt").arg(++unitInstances));
        return unit->start(QStringLiteral(QEL_UNIT_SIM_PATH), dir.path(), 8, runSeconds + 600, codes);
    };
    if (!plugIn()) {
        std::cerr << "bench_soak: " << unit->error().toStdString() << '\n';
        return 2;
    }

    std::string error;
    const auto recorder = benchwindow::RecorderWindow::open(error);
    if (!recorder) {
        std::cerr << "bench_soak: no event log: " << error << '\n';
        return 2;
    }
    app::Form1& window = recorder->form();
    const app::Form1Controls& c = window.controls();
    c.Check(4)->setChecked(true);
    c.List(2)->setSelectedIndex(2); // 480 samples
    c.List(4)->setSelectedIndex(2); // 5 Hz
    c.List(5)->setSelectedIndex(2); // Kp 0.3
    c.List(6)->setSelectedIndex(9); // Ki 0.9
    c.List(8)->setSelectedIndex(1); // guide rate 0.3
    if (!recorder->connectForGuiding(mount.id(), 0.3)) {
        std::cerr << "bench_soak: no connection to " << mount.id() << '\n';
        return 2;
    }
    // The operator answers every unpark question Yes.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&window] {
        if (QMessageBox* box = window.guideLoop().unparkBox())
            box->button(QMessageBox::Yes)->click();
    });
    answerer.start(200);

    // What the window does, as it happens.
    std::vector<Steady::time_point> readings;
    QObject::connect(&window.recordingRun(), &app::RecordingRun::readingDecoded,
                     [&readings] { readings.push_back(Steady::now()); });
    std::vector<Steady::time_point> pulsesSent;
    int lastSent = 0;
    QTimer pulseWatch;
    QObject::connect(&pulseWatch, &QTimer::timeout, [&] {
        if (window.guideLoop().output().ticksSent() != lastSent) {
            lastSent = window.guideLoop().output().ticksSent();
            pulsesSent.push_back(Steady::now());
        }
    });
    pulseWatch.start(20);
    // Event-loop stalls: a 20 ms precise timer; a tick later than 100 ms past its time is a stall.
    std::vector<double> stalls;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double ms = static_cast<double>(sinceTick.nsecsElapsed()) / 1e6;
        sinceTick.start();
        if (ms > 20 + 100)
            stalls.push_back(ms - 20);
    });

    c.Command(1)->click(); // Start
    loadbench::runFor(30000);
    const double rssStart = residentMb();
    sinceTick.start();
    probe.start(20);

    std::vector<UnitGap> unitGaps;
    std::vector<std::pair<std::string, Steady::time_point>> mountReturns;
    int faults = 0;
    bool crashedSim = false;
    QElapsedTimer run;
    run.start();
    while (run.elapsed() < runSeconds * 1000) {
        const double wait = uniform(60, 180);
        // The last fault leaves a minute for the links to come back before the run ends.
        if (run.elapsed() + (wait + 60) * 1000 > runSeconds * 1000)
            break;
        loadbench::runFor(static_cast<int>(wait * 1000));
        ++faults;
        std::vector<const char*> kinds = {"unit unplugged", "mount server restarted"};
        kinds.push_back(indi ? "INDI server restarted" : "mount hung 10 s");
        const std::string kind =
            kinds[std::uniform_int_distribution<std::size_t>(0, kinds.size() - 1)(random)];
        std::cout << "[" << run.elapsed() / 1000 << " s] fault " << faults << ": " << kind << std::flush;
        if (kind == "unit unplugged") {
            const double away = uniform(2, 20);
            const Steady::time_point out = Steady::now();
            unit->stop();
            loadbench::runFor(static_cast<int>(away * 1000));
            const Steady::time_point in = Steady::now();
            if (!plugIn()) {
                std::cerr << "\nbench_soak: the unit did not start again: " << unit->error().toStdString()
                          << '\n';
                return 2;
            }
            loadbench::runUntil([&] { return !readings.empty() && readings.back() > in; }, 60000);
            loadbench::runFor(1000);
            // The longest pause between two readings from shortly before the unplugging until now.
            double gap = 0;
            for (std::size_t i = 1; i < readings.size(); ++i)
                if (readings[i] > out - std::chrono::seconds(2))
                    gap = std::max(gap, secondsBetween(readings[i - 1], readings[i]));
            unitGaps.push_back({secondsBetween(out, in), gap});
            std::cout << " for " << loadbench::fixed(secondsBetween(out, in), 1) << " s, readings gap "
                      << loadbench::fixed(gap, 1) << " s" << std::endl;
        } else if (kind == "mount hung 10 s") {
            mount.fault("hang");
            loadbench::runFor(10000);
            mount.fault("none");
            mountReturns.emplace_back(kind, Steady::now());
            std::cout << std::endl;
        } else {
            mount.kill();
            loadbench::runFor(static_cast<int>(uniform(2, 20) * 1000));
            if (!mount.start()) {
                std::cerr << "\nbench_soak: the mount's server did not start again\n";
                return 2;
            }
            mountReturns.emplace_back(kind, Steady::now());
            std::cout << std::endl;
        }
        crashedSim = crashedSim || !mount.alive();
    }
    loadbench::runFor(std::max<int>(0, static_cast<int>(runSeconds * 1000 - run.elapsed())));
    probe.stop();
    const double rssEnd = residentMb();
    c.Command(2)->click(); // Stop
    unit->stop();
    loadbench::runUntil([&window] { return !window.recordingRun().recordWriter().isOpen(); }, 10000);
    loadbench::runFor(2000); // the writer's last lines

    // The judgement.
    std::vector<int> sent;
    for (int i = 1; i <= unitInstances; ++i) {
        const auto part = loadbench::codesSent(dir.filePath(QStringLiteral("codes-%1.txt").arg(i)));
        sent.insert(sent.end(), part.begin(), part.end());
    }
    const std::vector<int> recorded = loadbench::codesRecorded(dir.filePath(c.Text3->text()));
    std::cout << "\nFaults: " << faults << " in " << minutes << " min\n";
    loadbench::row("readings sent / recorded",
                   std::to_string(sent.size()) + " / " + std::to_string(recorded.size()) +
                       (sent == recorded ? " (the same, in order)" : " (DIFFERENT)"));
    double worstExcess = 0;
    for (const UnitGap& g : unitGaps) {
        worstExcess = std::max(worstExcess, g.gap - g.away);
        loadbench::row("unit away / readings gap",
                       loadbench::fixed(g.away, 1) + " s / " + loadbench::fixed(g.gap, 1) + " s");
    }
    loadbench::row("worst gap beyond the time away", loadbench::fixed(worstExcess, 2) + " s (allowed 2 s)");
    double worstReturn = 0;
    for (const auto& [kind, back] : mountReturns) {
        const auto first = std::upper_bound(pulsesSent.begin(), pulsesSent.end(), back);
        const double latency = first == pulsesSent.end() ? -1 : secondsBetween(back, *first);
        worstReturn = latency < 0 ? 1e9 : std::max(worstReturn, latency);
        loadbench::row(kind + ": first pulse after",
                       latency < 0 ? "none" : loadbench::fixed(latency, 1) + " s");
    }
    loadbench::row("resident memory start / end",
                   loadbench::fixed(rssStart, 1) + " / " + loadbench::fixed(rssEnd, 1) + " MB (growth " +
                       loadbench::fixed(rssEnd - rssStart, 1) + " MB, allowed 5)");
    double longest = 0;
    for (double s : stalls)
        longest = std::max(longest, s);
    loadbench::row("event-loop stalls over 100 ms",
                   std::to_string(stalls.size()) +
                       (stalls.empty() ? "" : ", longest " + loadbench::fixed(longest, 0) + " ms"));
    loadbench::row("simulator crashes", crashedSim ? "yes" : "none");
    std::cout << "Record file, event log and the unit's codes in " << dir.path().toStdString() << '\n';
    const bool passed = sent == recorded && worstExcess <= 2.0 && rssEnd - rssStart < 5.0 && stalls.empty() &&
                        !crashedSim && worstReturn < 1e9;
    std::cout << (passed ? "PASSED" : "FAILED") << std::endl;
    return passed ? 0 : 1;
}
