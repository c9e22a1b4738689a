#include "load_probes.h"

#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <iostream>

namespace loadbench {

std::string fixed(double value, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

std::string percent(double share) {
    return fixed(100.0 * share, 1) + " %";
}

void row(const std::string& label, const std::string& value) {
    constexpr std::size_t kColumn = 48;
    std::cout << "  " << label << std::string(label.size() < kColumn ? kColumn - label.size() : 1, ' ')
              << value << '\n';
}

double cpuSecondsSelf() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

std::int64_t threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::optional<double> cpuSecondsOf(std::int64_t pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = f.readAll();
    // The fields after the command name in parentheses start with the state (field 3); utime and stime
    // are fields 14 and 15, in clock ticks.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 13)
        return std::nullopt;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) / ticks;
}

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

bool runUntil(const std::function<bool()>& done, int timeoutMs, int pollMs) {
    if (done())
        return true;
    QEventLoop loop;
    bool reached = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            reached = true;
            loop.quit();
        }
    });
    poll.start(pollMs);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return reached;
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

StallProbe::StallProbe(const QPlainTextEdit* panel, const TimedApplication& app)
    : m_panel(panel)
    , m_app(app) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
}

void StallProbe::start() {
    m_timer.start();
    restart();
}

void StallProbe::restart() {
    m_gaps.clear();
    m_gaps.reserve(200000);
    m_clock.start();
    m_lastNs = 0;
    m_lastCpuNs = threadCpuNs();
    m_lastTaskCpuNs = m_app.taskCpuNs();
}

void StallProbe::tick() {
    const std::int64_t now = m_clock.nsecsElapsed();
    const std::int64_t cpu = threadCpuNs();
    const std::int64_t taskCpu = m_app.taskCpuNs(); // up to the task before this tick
    m_gaps.push_back({static_cast<double>(now - m_lastNs) / 1e6, static_cast<double>(cpu - m_lastCpuNs) / 1e6,
                      static_cast<double>(taskCpu - m_lastTaskCpuNs) / 1e6,
                      m_panel->document()->characterCount(), static_cast<double>(now) / 1e9});
    m_lastNs = now;
    m_lastCpuNs = cpu;
    m_lastTaskCpuNs = taskCpu;
}

void reportStalls(const std::vector<Gap>& gaps, const std::vector<Gap>& idleGaps, double runSeconds) {
    if (gaps.empty())
        return;
    // Stalls by wall time (what the operator sees), and the thread's own CPU time in each gap (the
    // window's work, whatever else the machine was doing).
    std::vector<double> stall, own;
    double ownCpu = 0, wall = 0;
    for (const Gap& g : gaps) {
        stall.push_back(std::max(0.0, g.wallMs - StallProbe::kIntervalMs));
        own.push_back(g.cpuMs);
        ownCpu += g.cpuMs;
        wall += g.wallMs;
    }
    std::sort(stall.begin(), stall.end());
    std::sort(own.begin(), own.end());
    const auto at = [](const std::vector<double>& v, double p) {
        return v[std::min(v.size() - 1, static_cast<std::size_t>(p * double(v.size())))];
    };
    const auto over = [](const std::vector<double>& v, double ms) {
        return std::to_string(v.end() - std::upper_bound(v.begin(), v.end(), ms));
    };
    const auto spread = [&](const std::vector<double>& v) {
        return fixed(at(v, 0.5), 2) + " / " + fixed(at(v, 0.99), 2) + " / " + fixed(at(v, 0.999), 2) + " / " +
               fixed(v.back(), 1) + " ms";
    };
    row("ticks", std::to_string(gaps.size()) + " (" + fixed(double(gaps.size()) / runSeconds, 0) + "/s)");
    row("stall p50 / p99 / p99.9 / longest", spread(stall));
    row("stalls > 16 ms / > 50 ms / > 100 ms",
        over(stall, 16) + " / " + over(stall, 50) + " / " + over(stall, 100));
    row("UI thread's CPU per gap p50 / p99 / p99.9 / max", spread(own));
    row("UI thread's CPU per gap > 8 ms / > 16 ms / > 50 ms",
        over(own, 8) + " / " + over(own, 16) + " / " + over(own, 50));
    row("UI thread's CPU share", percent(wall > 0 ? ownCpu / wall : 0));

    // Does a longer panel cost more? The UI thread's share by the panel's length (emptied past 64000).
    std::string byLength;
    for (int quarter = 0; quarter < 4; ++quarter) {
        double cpu = 0, time = 0;
        for (const Gap& g : gaps) {
            if (std::min(g.panelChars / 16000, 3) == quarter) {
                cpu += g.cpuMs;
                time += g.wallMs;
            }
        }
        byLength += (quarter ? " / " : "") + (time > 0 ? percent(cpu / time) : std::string("-"));
    }
    row("  by Text1 length 0-16k / -32k / -48k / -64k", byLength);

    std::vector<std::size_t> worst;
    for (std::size_t i = 0; i < gaps.size(); ++i)
        if (gaps[i].wallMs - StallProbe::kIntervalMs > 16.0)
            worst.push_back(i);
    std::sort(worst.begin(), worst.end(), [&](auto a, auto b) { return gaps[a].wallMs > gaps[b].wallMs; });
    for (std::size_t k = 0; k < std::min<std::size_t>(5, worst.size()); ++k) {
        const Gap& g = gaps[worst[k]];
        row(k == 0 ? "worst stalls: ms, UI CPU ms, at s, Text1 length" : "",
            fixed(g.wallMs - StallProbe::kIntervalMs, 1) + ", " + fixed(g.cpuMs, 1) + ", " +
                fixed(g.endS, 2) + ", " + std::to_string(g.panelChars));
    }
    // The gaps with the most UI-thread CPU, and how much of it lay in tasks. The rest went to the event
    // loop's own calls; on a virtual machine that does not account stolen time (steal 0 in /proc/stat), the
    // time the host kept the thread's processor while it sat in poll() is counted there too.
    std::vector<std::size_t> costliest(gaps.size());
    for (std::size_t i = 0; i < gaps.size(); ++i)
        costliest[i] = i;
    const std::size_t shown = std::min<std::size_t>(5, gaps.size());
    std::partial_sort(costliest.begin(), costliest.begin() + static_cast<std::ptrdiff_t>(shown),
                      costliest.end(), [&](auto a, auto b) { return gaps[a].cpuMs > gaps[b].cpuMs; });
    for (std::size_t k = 0; k < shown; ++k) {
        const Gap& g = gaps[costliest[k]];
        row(k == 0 ? "most UI CPU: ms, in tasks, stall ms, at s, Text1" : "",
            fixed(g.cpuMs, 1) + ", " + fixed(g.taskCpuMs, 1) + ", " +
                fixed(g.wallMs - StallProbe::kIntervalMs, 1) + ", " + fixed(g.endS, 2) + ", " +
                std::to_string(g.panelChars));
    }
    if (!idleGaps.empty()) {
        double idleStall = 0;
        for (const Gap& g : idleGaps)
            idleStall = std::max(idleStall, g.wallMs - StallProbe::kIntervalMs);
        row("idle window before Start: longest stall", fixed(idleStall, 1) + " ms");
    }
}

PaintCounter::PaintCounter(const QWidget* panel, const QWidget* chart)
    : m_panel(panel)
    , m_chart(chart) {}

bool PaintCounter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Paint || !watched->isWidgetType())
        return false;
    const auto* w = static_cast<const QWidget*>(watched);
    ++m_counts.all;
    auto& [name, count] = m_perWidget[w];
    if (count++ == 0) {
        name = w->metaObject()->className();
        if (!w->objectName().isEmpty())
            name += " " + w->objectName().toStdString();
        for (const QWidget* up = w->parentWidget(); up; up = up->parentWidget())
            if (!up->objectName().isEmpty()) {
                name += " in " + up->objectName().toStdString();
                break;
            }
    }
    if (qobject_cast<const QScrollBar*>(w) && m_panel->isAncestorOf(w))
        ++m_counts.scrollBar;
    else if (m_panel->isAncestorOf(w))
        ++m_counts.panel;
    else if (w == m_chart || m_chart->isAncestorOf(w))
        ++m_counts.chart;
    return false;
}

std::pair<std::string, std::uint64_t> PaintCounter::busiest() const {
    std::pair<std::string, std::uint64_t> most{"none", 0};
    for (const auto& [widget, named] : m_perWidget)
        if (named.second > most.second)
            most = named;
    return most;
}

void PaintCounter::list(std::ostream& out, double seconds) const {
    std::vector<std::pair<std::string, std::uint64_t>> all;
    for (const auto& [widget, named] : m_perWidget)
        all.push_back(named);
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& [name, count] : all)
        out << "    " << fixed(double(count) / seconds, 1) << "/s  " << name << '\n';
}

void TimedApplication::measure(bool on) {
    m_measuring = on;
    if (!on)
        return;
    m_cpuMs.clear();
    m_cpuMs.reserve(500000);
    m_longestWallMs = 0;
    m_slow.clear();
    m_since.start();
}

std::vector<TimedApplication::Task> TimedApplication::slowest() const {
    std::vector<Task> slow = m_slow;
    std::sort(slow.begin(), slow.end(), [](const Task& a, const Task& b) { return a.cpuMs > b.cpuMs; });
    return slow;
}

namespace {

// "QTimer in app::LiveDisplay", "QCustomPlot Chart1Plot in chart::Chart Chart1".
std::string objectText(const QObject* o) {
    std::string text = o->metaObject()->className();
    if (!o->objectName().isEmpty())
        text += " " + o->objectName().toStdString();
    return text;
}

} // namespace

bool TimedApplication::notify(QObject* receiver, QEvent* event) {
    if (m_depth++ > 0) {
        const bool r = QApplication::notify(receiver, event);
        --m_depth;
        return r;
    }
    const QEvent::Type type = event->type(); // neither the event nor the receiver need outlive the dispatch
    const QPointer<QObject> alive(receiver);
    const std::int64_t cpu0 = threadCpuNs();
    QElapsedTimer wall;
    wall.start();
    const bool r = QApplication::notify(receiver, event);
    --m_depth;
    const std::int64_t cpuNs = threadCpuNs() - cpu0;
    m_taskCpuNs += cpuNs;
    if (!m_measuring)
        return r;
    const double cpuMs = static_cast<double>(cpuNs) / 1e6;
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    m_cpuMs.push_back(cpuMs);
    m_longestWallMs = std::max(m_longestWallMs, wallMs);
    if (cpuMs > kSlowMs) {
        std::string name = alive ? objectText(receiver) : std::string("an object deleted by it");
        if (alive && receiver->parent())
            name += " in " + objectText(receiver->parent());
        const char* key = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
        name += std::string(": ") + (key ? key : "event " + std::to_string(static_cast<int>(type)));
        if (note)
            name += note();
        m_slow.push_back({cpuMs, wallMs, static_cast<double>(m_since.nsecsElapsed()) / 1e9, name});
    }
    return r;
}

std::string ClickCost::describe() const {
    return fixed(wallMs, 1) + " ms, " + fixed(cpuMs, 1) + " ms, " + std::to_string(waits);
}

ClickCost timed(const std::function<void()>& click) {
    rusage before{}, after{};
    getrusage(RUSAGE_THREAD, &before);
    const std::int64_t cpu0 = threadCpuNs();
    QElapsedTimer wall;
    wall.start();
    click();
    ClickCost cost;
    cost.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    cost.cpuMs = static_cast<double>(threadCpuNs() - cpu0) / 1e6;
    getrusage(RUSAGE_THREAD, &after);
    cost.waits = after.ru_nvcsw - before.ru_nvcsw;
    return cost;
}

} // namespace loadbench
