// The analysis window following a record file as a recording writes it: 8 readings/s for 30 minutes, fed to
// the file in 10-s pieces faster than real time (each piece as soon as the window has drawn the last look).
// Per look: the CPU time of the whole process (reading, analysis on the worker thread, drawing on the UI
// thread) against the 10 s the look stands for, and every UI-thread task's duration (each event the
// application dispatches, timed with the thread's CPU clock and the wall clock).
//   ./build/bench/bench_analysis_follow [--minutes 30] [--rate 8] [--screenshot FILE.png]
// Offscreen unless QT_QPA_PLATFORM says otherwise (under Xvfb: QT_QPA_PLATFORM=xcb scripts/with-xvfb.sh ...).
#include "SimulatedRecord.h"
#include "analysis/AnalysisWindow.h"
#include "load_probes.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using loadbench::fixed;
using loadbench::row;
using loadbench::TimedApplication;

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

} // namespace

int main(int argc, char** argv) {
    double minutes = 30.0, rate = 8.0;
    std::string screenshot;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--minutes")
            minutes = std::atof(argv[i + 1]);
        else if (arg == "--rate")
            rate = std::atof(argv[i + 1]);
        else if (arg == "--screenshot")
            screenshot = argv[i + 1];
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TimedApplication app(argc, argv);

    // The recording: a 480 s worm with harmonics, noise and the mount's wander, as the recorder writes it.
    qelsim::SimulatedRun sim;
    sim.rate = rate;
    sim.seconds = minutes * 60.0;
    sim.model.driftSpread = 0.2;
    sim.model.driftRate = 0.002;
    sim.start = {2026, 12, 7, 22, 0, 0, 0};
    std::string text;
    qelsim::appendSimulatedRun(text, sim);
    std::vector<std::size_t> lineEnds;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        lineEnds.push_back(at + 1);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL_TE_Recorder1.txt"));
    std::ofstream(path.toStdString(), std::ios::binary).close();

    analysis::AnalysisWindow window;
    window.resize(1200, 860);
    window.show();
    window.setRecordFileBeingWritten(path, true);
    loadbench::runFor(300);

    const std::size_t perLook =
        static_cast<std::size_t>(rate * analysis::AnalysisWindow::kLookIntervalMs / 1000.0);
    std::vector<double> stepCpu, uiCpu;
    std::size_t written = 0, lines = 0;
    bool first = true;
    app.measure(true);
    while (lines < lineEnds.size()) {
        lines = std::min(lineEnds.size(), lines + perLook);
        const std::size_t end = lineEnds[lines - 1];
        std::ofstream(path.toStdString(), std::ios::binary | std::ios::app)
            .write(text.data() + written, static_cast<std::streamsize>(end - written));
        written = end;

        const double cpu = loadbench::cpuSecondsSelf();
        const std::int64_t ui = loadbench::threadCpuNs();
        QSignalSpy finished(&window, &analysis::AnalysisWindow::analysisFinished);
        if (first)
            window.follow(path); // the operator's "Follow It": the first look at once
        else
            window.lookNow();
        first = false;
        if (!finished.wait(60000)) {
            std::cerr << "bench_analysis_follow: a look did not finish\n";
            return 1;
        }
        loadbench::runFor(40); // the plots' queued redraws and the paint
        stepCpu.push_back(1000.0 * (loadbench::cpuSecondsSelf() - cpu));
        uiCpu.push_back(static_cast<double>(loadbench::threadCpuNs() - ui) / 1e6);
    }
    app.measure(false);

    const double interval = analysis::AnalysisWindow::kLookIntervalMs;
    double total = 0.0, totalUi = 0.0;
    for (std::size_t i = 0; i < stepCpu.size(); ++i)
        total += stepCpu[i], totalUi += uiCpu[i];
    const double looks = static_cast<double>(stepCpu.size());
    const analysis::Analysis* a = window.current();
    std::cout << "bench_analysis_follow: " << fixed(minutes, 0) << " min at " << fixed(rate, 0)
              << " readings/s, a look every " << fixed(interval / 1000.0, 0) << " s (" << stepCpu.size()
              << " looks), platform " << QGuiApplication::platformName().toStdString() << ", load "
              << loadbench::loadAverage().toStdString() << "\n";
    row("CPU per look, mean / median / p95 / max",
        fixed(total / looks, 1) + " / " + fixed(percentile(stepCpu, 0.5), 1) + " / " +
            fixed(percentile(stepCpu, 0.95), 1) + " / " + fixed(percentile(stepCpu, 1.0), 1) + " ms");
    row("  of it on the UI thread, mean / max",
        fixed(totalUi / looks, 1) + " / " + fixed(percentile(uiCpu, 1.0), 1) + " ms");
    row("  the last look (30 min read)", fixed(stepCpu.back(), 1) + " ms");
    row("average share of one core (CPU / 10 s)", loadbench::percent(total / looks / interval));
    const std::vector<double>& tasks = app.cpuMs();
    const std::vector<TimedApplication::Task> slowest = app.slowest();
    row("UI-thread tasks: count, p99 / max CPU", std::to_string(tasks.size()) + ", " +
                                                     fixed(percentile(tasks, 0.99), 2) + " / " +
                                                     fixed(percentile(tasks, 1.0), 2) + " ms");
    row("UI-thread tasks over 8 ms of CPU",
        std::to_string(std::count_if(tasks.begin(), tasks.end(), [](double ms) { return ms > 8.0; })) +
            " of " + std::to_string(tasks.size()));
    row("UI-thread tasks: longest wall time (a loaded machine preempts)",
        fixed(app.longestWallMs(), 2) + " ms");
    for (std::size_t i = 0; i < std::min<std::size_t>(8, slowest.size()); ++i)
        row(i == 0 ? "slowest UI-thread tasks (CPU ms)" : "",
            fixed(slowest[i].cpuMs, 2) + "  " + slowest[i].name);
    if (a)
        row("last look's worm period", fixed(a->period, 2) + " s +- " + fixed(a->periodError, 2) + " s, " +
                                           std::to_string(a->wholeCycles) + " whole turns");
    // For comparison: each plot's redraw repeated with nothing changed (warm caches, no new layout).
    std::string repeat;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (std::string(w->metaObject()->className()) != "QCustomPlot")
            continue;
        const std::int64_t t0 = loadbench::threadCpuNs();
        for (int k = 0; k < 20; ++k)
            QMetaObject::invokeMethod(w, "replot", Qt::DirectConnection);
        repeat += (repeat.empty() ? "" : ", ") + w->parent()->objectName().toStdString() + " " +
                  fixed(static_cast<double>(loadbench::threadCpuNs() - t0) / 20e6, 2) + " ms";
    }
    row("a plot's redraw repeated unchanged (CPU)", repeat);
    if (!screenshot.empty()) {
        loadbench::runFor(300);
        const bool saved = window.grab().save(QString::fromStdString(screenshot));
        row("screenshot", saved ? screenshot : "could not be saved");
    }
    return 0;
}
