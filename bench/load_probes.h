// The measuring instruments of the window benchmarks: CPU time of this process, of its UI thread and of
// another process; an application that times each UI-thread task; an event-loop probe that finds stalls; a
// paint-event counter; and the figures' text.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPlainTextEdit;
class QWidget;

namespace loadbench {

// Fixed-point text, independent of the locale.
std::string fixed(double value, int decimals);
// "45.8 %" for a share of 0.458.
std::string percent(double share);
// One line of the figures: an indented label padded to a column, then the value.
void row(const std::string& label, const std::string& value);

// User + system CPU seconds of this process (all its threads).
double cpuSecondsSelf();
// CPU nanoseconds of the calling thread.
std::int64_t threadCpuNs();
// User + system CPU seconds of another process (from /proc); nullopt if it cannot be read.
std::optional<double> cpuSecondsOf(std::int64_t pid);
// The first three fields of /proc/loadavg ("2.37 3.39 3.83"), "?" if unreadable.
QString loadAverage();

// Runs the event loop until `done` holds (checked every pollMs) or timeoutMs has passed; true if done.
bool runUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 10);
// Runs the event loop for ms milliseconds.
void runFor(int ms);

// The application, timing every event it dispatches from the event loop on the UI thread (nested dispatches
// count with the outer one) with the thread's CPU clock and the wall clock: one event, one task.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    // A task with more UI-thread CPU than kSlowMs keeps its name and when it ended.
    static constexpr double kSlowMs = 4.0;
    struct Task {
        double cpuMs = 0;
        double wallMs = 0;
        double endS = 0;  // seconds since measuring started
        std::string name; // "QTimer in app::LiveDisplay: Timer", then what `note` added
    };

    // Starts afresh when turned on.
    void measure(bool on);
    // Words added to a slow task's name, e.g. the text panel's length at its end.
    std::function<std::string()> note;

    const std::vector<double>& cpuMs() const { return m_cpuMs; } // every task's
    // The UI thread's CPU nanoseconds within tasks since the application started, measuring or not.
    std::int64_t taskCpuNs() const { return m_taskCpuNs; }
    double longestWallMs() const { return m_longestWallMs; }
    // The slow tasks, slowest first.
    std::vector<Task> slowest() const;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    int m_depth = 0;
    bool m_measuring = false;
    std::int64_t m_taskCpuNs = 0;
    QElapsedTimer m_since;
    std::vector<double> m_cpuMs;
    double m_longestWallMs = 0;
    std::vector<Task> m_slow;
};

// One gap between two ticks of the probe.
struct Gap {
    double wallMs;
    double cpuMs;     // the UI thread's CPU time within the gap
    double taskCpuMs; // of it, within tasks (events dispatched); the rest went to the event loop itself
    int panelChars;   // the text panel's length at the end of the gap
    double endS;      // when the gap ended, seconds since the probe (re)started
};

// The event-loop probe: a 1 ms precise timer on the UI thread. A gap between ticks longer than the interval
// is time in which the loop could not run anything else; the thread's CPU time within it tells the window's
// own work apart from time the thread merely waited (for a core, for the disk).
class StallProbe : public QObject {
public:
    static constexpr int kIntervalMs = 1;

    // panel: the text panel whose length is noted with every gap; app: where the tasks' CPU time is read.
    StallProbe(const QPlainTextEdit* panel, const TimedApplication& app);

    void start();
    // Forgets what was measured and starts afresh from now.
    void restart();
    const std::vector<Gap>& gaps() const { return m_gaps; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    std::int64_t m_lastNs = 0;
    std::int64_t m_lastCpuNs = 0;
    std::int64_t m_lastTaskCpuNs = 0;
    std::vector<Gap> m_gaps;
    const QPlainTextEdit* m_panel;
    const TimedApplication& m_app;
};

// Prints the stall figures of a run's gaps (and the longest stall of the idle gaps before it).
void reportStalls(const std::vector<Gap>& gaps, const std::vector<Gap>& idleGaps, double runSeconds);

// Counts paint events, as an application-wide event filter: all, the text panel's (its viewport and its
// scroll bar apart) and the chart's.
class PaintCounter : public QObject {
public:
    PaintCounter(const QWidget* panel, const QWidget* chart);

    struct Counts {
        std::uint64_t all = 0, panel = 0, scrollBar = 0, chart = 0;
    };
    const Counts& counts() const { return m_counts; }
    // The widget painted most often ("QScrollBar in Text1") and how many times; every widget counts alone,
    // so a parent painted under a child that does not cover itself shows up here.
    std::pair<std::string, std::uint64_t> busiest() const;
    // Every painted widget with its paints per second over seconds, most painted first.
    void list(std::ostream& out, double seconds) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QWidget* m_panel;
    const QWidget* m_chart;
    Counts m_counts;
    std::map<const QObject*, std::pair<std::string, std::uint64_t>> m_perWidget;
};

// What a click costs: wall time, the UI thread's CPU time, and how often it waited in the kernel.
struct ClickCost {
    double wallMs = 0;
    double cpuMs = 0;
    long waits = 0;
    std::string describe() const;
};
ClickCost timed(const std::function<void()>& click);

} // namespace loadbench
