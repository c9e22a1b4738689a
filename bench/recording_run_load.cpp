// A recording run under load: the real window, in this process, records from qel-unit-sim (a separate
// process on a pseudo-terminal) with "Display Tabular Data" and "Record to File" checked, by default at
// 960 readings/s, all a 9600-baud line carries, for 60 s. Reports readings sent against record lines
// written (must be equal, in the same order), the CPU share of the recorder and of the simulator, and how
// long the event loop was kept from running (a 1 ms probe timer). Exits 1 when a reading went missing.
//
//   ./build/bench/bench_recording_run                      # 960/s for 60 s, offscreen
//   ./build/bench/bench_recording_run --rate 8 --seconds 60
//   ./scripts/with-xvfb.sh env QT_QPA_PLATFORM=xcb ./build/bench/bench_recording_run
#include "acquisition/SerialLink.h"
#include "app/Form1.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/Startup.h"
#include "chart/Chart.h"
#include "load_probes.h"
#include "recorder_window.h"
#include "unit_sim_process.h"
#include "widgets/TwoStateCheckBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifndef QEL_UNIT_SIM_PATH
#define QEL_UNIT_SIM_PATH "qel-unit-sim"
#endif

namespace {

using namespace loadbench;

constexpr int kPollMs = 100;
constexpr int kQuietMs = 1000; // no reading for this long after the simulator's last one: the run is over

struct Options {
    double rate = 960.0;
    double seconds = 60.0;
    double idleSeconds = 3.0;
    QString sim = QStringLiteral(QEL_UNIT_SIM_PATH);
    bool probe = true;
    bool liveLines = true; // Check1
    bool keep = false;
    QString gapsFile;
};

const char* const kUsage =
    "usage: bench_recording_run [--rate R] [--seconds S] [--idle S] [--sim PATH] [--no-probe] [--no-text]\n"
    "                           [--keep] [--gaps FILE]\n"
    "  --rate R      readings per second sent by qel-unit-sim (default 960, the line's limit)\n"
    "  --seconds S   how long the simulator sends (default 60)\n"
    "  --idle S      seconds of idle window before Start, measured as a baseline (default 3)\n"
    "  --sim PATH    the qel-unit-sim binary (default: the one built with this benchmark)\n"
    "  --no-probe    no 1 ms probe timer (CPU share without the probe's own cost; no stall figures)\n"
    "  --no-text     Check1 (\"Display Tabular Data\") unchecked: what the text panel costs, by difference\n"
    "  --keep        keep the working directory (record file, event log, codes sent) and print it\n"
    "  --gaps FILE   write every probe gap of the run, one per line: wall ms, UI thread's CPU ms, of it in\n"
    "                tasks (ms), Text1's length at its end (characters), when it ended (s since Start)\n"
    "Runs on QT_QPA_PLATFORM=offscreen unless QT_QPA_PLATFORM is set.\n";

// Empty error and nullopt: --help.
std::optional<Options> parseOptions(const QStringList& args, std::string& error) {
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                error = a.toStdString() + " needs a value";
                return std::nullopt;
            }
            return args.at(++i);
        };
        const auto number = [&](double& target, double min) {
            const auto text = value();
            if (!text)
                return false;
            bool ok = false;
            const double v = text->toDouble(&ok); // "." whatever the locale
            if (!ok || v < min) {
                error = a.toStdString() + " needs a number of at least " + fixed(min, 0) + ", not \"" +
                        text->toStdString() + "\"";
                return false;
            }
            target = v;
            return true;
        };
        const auto path = [&](QString& target) {
            const auto text = value();
            if (text)
                target = *text;
            return text.has_value();
        };
        bool ok = true;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return std::nullopt;
        else if (a == QLatin1String("--rate"))
            ok = number(o.rate, 1);
        else if (a == QLatin1String("--seconds"))
            ok = number(o.seconds, 1);
        else if (a == QLatin1String("--idle"))
            ok = number(o.idleSeconds, 0);
        else if (a == QLatin1String("--sim"))
            ok = path(o.sim);
        else if (a == QLatin1String("--gaps"))
            ok = path(o.gapsFile);
        else if (a == QLatin1String("--no-text"))
            o.liveLines = false;
        else if (a == QLatin1String("--no-probe"))
            o.probe = false;
        else if (a == QLatin1String("--keep"))
            o.keep = true;
        else {
            error = "unknown argument " + a.toStdString();
            ok = false;
        }
        if (!ok)
            return std::nullopt;
    }
    return o;
}

// CPU time over wall time.
struct CpuWindow {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double share() const { return wallSeconds > 0 ? cpuSeconds / wallSeconds : 0; }
};

// What the run measured while readings arrived.
struct RunFigures {
    bool ended = false;            // the readings stopped arriving in time
    double runSeconds = 0;         // Start to the end of the run
    CpuWindow busy;                // Start to the last reading
    std::vector<double> perSecond; // CPU share in each second of the run
    std::uint64_t received = 0, reads = 0;
};

// Runs the event loop from Start until the simulator has sent its last reading and nothing more has arrived
// for kQuietMs, counting the readings the port hands to the window.
RunFigures recordUntilQuiet(const acquisition::SerialLink& port, const UnitSimProcess& sim, double seconds) {
    RunFigures f;
    QMetaObject::Connection counting =
        QObject::connect(&port, &acquisition::SerialLink::received, [&f](const QByteArray& bytes) {
            f.received += static_cast<std::uint64_t>(bytes.size());
            ++f.reads;
        });
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuSecondsSelf();
    std::uint64_t lastReceived = 0;
    qint64 lastGrowthMs = 0, secondStartMs = 0;
    double secondCpu = cpuStart;
    const auto quiet = [&] {
        const qint64 now = clock.elapsed();
        if (f.received != lastReceived) {
            lastReceived = f.received;
            lastGrowthMs = now;
            f.busy = {static_cast<double>(clock.nsecsElapsed()) / 1e9, cpuSecondsSelf() - cpuStart};
        }
        if (now - secondStartMs >= 1000) {
            const double cpu = cpuSecondsSelf();
            f.perSecond.push_back((cpu - secondCpu) / (static_cast<double>(now - secondStartMs) / 1000.0));
            secondCpu = cpu;
            secondStartMs = now;
        }
        return sim.secondsSinceReady() >= seconds && now - lastGrowthMs >= kQuietMs;
    };
    f.ended = runUntil(quiet, static_cast<int>((seconds + 60) * 1000), kPollMs);
    f.runSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    QObject::disconnect(counting);
    return f;
}

// Each UI-thread task (one dispatched event) on its own, where a probe gap may hold several.
void reportTasks(const TimedApplication& app) {
    std::vector<double> tasks = app.cpuMs();
    if (tasks.empty())
        return;
    std::sort(tasks.begin(), tasks.end());
    const auto over = [&](double ms) {
        return std::to_string(tasks.end() - std::upper_bound(tasks.begin(), tasks.end(), ms));
    };
    std::cout << "UI-thread tasks (each dispatched event, the thread's CPU clock)\n";
    row("count, p99 / max CPU", std::to_string(tasks.size()) + ", " +
                                    fixed(tasks[std::min(tasks.size() - 1, tasks.size() * 99 / 100)], 2) +
                                    " / " + fixed(tasks.back(), 2) + " ms");
    row("over 8 ms / over 16 ms", over(8) + " / " + over(16));
    const std::vector<TimedApplication::Task> slowest = app.slowest();
    for (std::size_t i = 0; i < std::min<std::size_t>(5, slowest.size()); ++i)
        row(i == 0 ? "slowest: CPU ms, wall ms, at s, what" : "",
            fixed(slowest[i].cpuMs, 1) + ", " + fixed(slowest[i].wallMs, 1) + ", " +
                fixed(slowest[i].endS, 2) + ", " + slowest[i].name);
}

void writeGaps(const QString& path, const std::vector<Gap>& gaps) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::cerr << "bench_recording_run: cannot write " << path.toStdString() << ": "
                  << out.errorString().toStdString() << '\n';
        return;
    }
    for (const Gap& g : gaps)
        out.write((fixed(g.wallMs, 3) + " " + fixed(g.cpuMs, 3) + " " + fixed(g.taskCpuMs, 3) + " " +
                   std::to_string(g.panelChars) + " " + fixed(g.endS, 3) + "\n")
                      .c_str());
}

int run(const Options& opt, const QString& startDir, TimedApplication& app) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::cerr << "bench_recording_run: no temporary directory: " << dir.errorString().toStdString()
                  << '\n';
        return 2;
    }
    dir.setAutoRemove(!opt.keep);
    QDir::setCurrent(dir.path()); // where the recorder finds COM1 and writes its files

    std::string error;
    const auto recorder = benchwindow::RecorderWindow::open(error);
    if (!recorder) {
        std::cerr << "bench_recording_run: cannot create the event log in "
                  << QDir::currentPath().toStdString() << ": " << error << '\n';
        return 2;
    }
    app::Form1& window = recorder->form();
    const app::Form1Controls& c = window.controls();
    c.Check(1)->setChecked(opt.liveLines); // "Display Tabular Data"
    c.Check(4)->setChecked(true);          // "Record to File"

    StallProbe probe(c.Text1, app);
    if (opt.probe)
        probe.start();

    // Baseline: the idle window (its clock, the probe) before anything arrives.
    CpuWindow idle;
    if (opt.idleSeconds > 0) {
        const double cpu0 = cpuSecondsSelf();
        runFor(static_cast<int>(opt.idleSeconds * 1000));
        idle = {opt.idleSeconds, cpuSecondsSelf() - cpu0};
    }
    const std::vector<Gap> idleGaps = probe.gaps();

    UnitSimProcess sim;
    const QString codesFile = dir.filePath(QStringLiteral("codes.txt"));
    if (!sim.start(opt.sim, dir.path(), opt.rate, opt.seconds, codesFile)) {
        std::cerr << "bench_recording_run: " << sim.error().toStdString() << '\n';
        return 2;
    }

    // Start, as the operator presses it.
    const ClickCost startCost = timed([&] { c.Command(1)->click(); });
    app::RecordingRun& recording = window.recordingRun();
    if (!recording.CommPort1().isOpen() || !recording.isRecordFileOpen()) {
        std::cerr << "bench_recording_run: Start did not open the link and the record file: "
                  << window.messages().shown(QStringLiteral("serial")).toStdString()
                  << window.messages().shown(QStringLiteral("record file")).toStdString() << '\n';
        sim.stop();
        return 2;
    }
    if (opt.probe)
        probe.restart();
    app.note = [&c] {
        return ", Text1 " + std::to_string(c.Text1->document()->characterCount());
    };
    app.measure(true);
    PaintCounter paints(c.Text1, c.Chart1);
    qApp->installEventFilter(&paints);
    const QString loadBefore = loadAverage();

    const RunFigures f = recordUntilQuiet(recording.CommPort1(), sim, opt.seconds);

    app.measure(false);
    app.note = nullptr;
    qApp->removeEventFilter(&paints);
    const QString loadAfter = loadAverage();
    const int panelChars = c.Text1->document()->characterCount();
    const std::optional<double> simShare = sim.cpuShare();
    const double simSeconds = sim.secondsSinceReady();

    // Stop, then let the simulator go; what it sent against what was written.
    const ClickCost stopCost = timed([&] { c.Command(2)->click(); });
    sim.stop();
    recording.recordWriter().waitUntilIdle(); // the lines still queued at Stop
    QString tallyLine;
    const std::optional<std::uint64_t> tally = sim.sent(tallyLine);
    const std::vector<int> sent = codesSent(codesFile);
    const std::vector<int> written = codesRecorded(dir.filePath(c.Text3->text()));
    const auto [s, w] = std::mismatch(sent.begin(), sent.end(), written.begin(), written.end());
    const bool sameCodes = s == sent.end() && w == written.end();
    const bool ok = f.ended && tally && *tally == sent.size() && sent.size() == written.size() &&
                    f.received == sent.size() && sameCodes;

    std::cout << "\nRecording run under load: " << fixed(opt.rate, 0) << " readings/s for "
              << fixed(opt.seconds, 0)
              << (opt.liveLines ? " s, Check1 and Check4 checked" : " s, only Check4 checked")
              << ", platform " << QApplication::platformName().toStdString() << "\n";
    row("load average before / after", loadBefore.toStdString() + " / " + loadAfter.toStdString());
    std::cout << "Readings\n";
    row("sent (simulator's tally)", tally ? std::to_string(*tally) : std::string("?"));
    if (tallyLine.contains(QLatin1Char(';')))
        row("simulator says", tallyLine.toStdString());
    row("sent (codes written by the simulator)", std::to_string(sent.size()));
    row("received by the window", std::to_string(f.received) + " in " + std::to_string(f.reads) + " reads (" +
                                      fixed(f.reads ? double(f.received) / double(f.reads) : 0, 2) +
                                      " per read)");
    row("record lines written", std::to_string(written.size()));
    row("codes in the same order",
        sameCodes ? "yes" : "NO, first difference at line " + std::to_string(s - sent.begin() + 1));
    row("Text1 length at the end (characters)", std::to_string(panelChars));

    std::cout << "CPU (share of one core)\n";
    if (opt.idleSeconds > 0)
        row("recorder, idle window before Start",
            percent(idle.share()) + " over " + fixed(idle.wallSeconds, 1) + " s");
    row("recorder, Start to last reading", percent(f.busy.share()) + " over " + fixed(f.busy.wallSeconds, 1) +
                                               " s (" + fixed(f.busy.cpuSeconds, 2) + " s CPU)");
    if (f.perSecond.size() > 2) {
        std::vector<double> whole(f.perSecond.begin() + 1, f.perSecond.end() - 1); // whole seconds of sending
        std::sort(whole.begin(), whole.end());
        row("recorder, per second: min / median / max", percent(whole.front()) + " / " +
                                                            percent(whole[whole.size() / 2]) + " / " +
                                                            percent(whole.back()));
    }
    row("simulator, ready to last reading",
        simShare ? percent(*simShare) + " over " + fixed(simSeconds, 1) + " s" : "not measured (no /proc)");

    std::cout << "Event loop (1 ms probe timer; stall = gap between ticks - 1 ms)\n";
    if (opt.probe)
        reportStalls(probe.gaps(), idleGaps, f.runSeconds);
    else
        row("probe", "off (--no-probe)");
    const auto perSecond = [&](std::uint64_t n) {
        return fixed(double(n) / f.runSeconds, 0);
    };
    const PaintCounter::Counts& painted = paints.counts();
    row("paints/s: all / Text1 / its scroll bar / chart",
        perSecond(painted.all) + " / " + perSecond(painted.panel) + " / " + perSecond(painted.scrollBar) +
            " / " + perSecond(painted.chart));
    const auto [busiest, busiestCount] = paints.busiest();
    row("paints/s of the most painted widget", perSecond(busiestCount) + " (" + busiest + ")");
    if (std::getenv("QEL_BENCH_PAINTS"))
        paints.list(std::cout, f.runSeconds);
    row("Start click: wall, UI CPU, kernel waits", startCost.describe());
    row("Stop click: wall, UI CPU, kernel waits", stopCost.describe());
    reportTasks(app);
    const QString told = (window.messages().shown(QStringLiteral("serial")) + QLatin1Char(' ') +
                          window.messages().shown(QStringLiteral("record file")))
                             .simplified();
    if (!told.isEmpty())
        row("operator was told", told.toStdString());
    if (!sim.error().isEmpty())
        row("simulator's errors", sim.error().toStdString());
    if (opt.keep)
        row("files kept in", dir.path().toStdString());

    QDir::setCurrent(startDir);
    if (!opt.gapsFile.isEmpty())
        writeGaps(opt.gapsFile, probe.gaps());
    if (!f.ended)
        std::cout << "FAILED: readings were still arriving " << fixed(opt.seconds + 60, 0)
                  << " s after the start\n";
    else if (!ok)
        std::cout << "FAILED: readings sent and record lines written differ\n";
    else
        std::cout << "OK: every reading sent is in the record file, in order\n";
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEL TE Recorder"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    std::setlocale(LC_NUMERIC, "C");
    app::installFonts();

    std::string error;
    const auto options = parseOptions(QApplication::arguments(), error);
    if (!options) {
        if (error.empty()) {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << "bench_recording_run: " << error << '\n' << kUsage;
        return 2;
    }
    return run(*options, QDir::currentPath(), qapp);
}
