// A guided run against an INDI mount: the Timer1 tick as the window runs it (GuideController + GuideOutput)
// drives IndiDriver in real time on a replayed tracking error, and every pulse the driver sent is written out
// for comparison with indiserver's -vvv log. Run by bench/indi-guided-run.sh inside with_indiserver.sh.
//
//   bench_indi_guided_run [--seconds 120] [--hz 2] [--pulses FILE] [--port 7624]
#include "pulse_notes.h"
#include "telescope/guiding/GuideOutput.h"
#include "telescope/indi/IndiDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <string>

using namespace telescope;
using benchnotes::axisOf;

namespace {

template <typename T>
Result<T> await(const std::function<void(Callback<T>)>& call) {
    std::optional<Result<T>> result;
    call([&](const Result<T>& r) { result = r; });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (result)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    return *result;
}

// The tracking error the replayed QEL unit reports: a slow swing, in whole 1/8 arcsecond codes.
double trackingErrorAt(double seconds) {
    const double te = 2.5 * std::sin(2 * std::numbers::pi * seconds / 30.0) + 0.4;
    const int code = 127 - static_cast<int>(std::lround(te * 8));
    return (127 - code) * 0.125;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int seconds = 120;
    int hz = 2;
    int port = 7624;
    std::string pulsesFile = "pulses.txt";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--hz"))
            hz = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--port"))
            port = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--pulses"))
            pulsesFile = argv[i + 1];
    }

    indi::IndiDriver indi(
        indi::IndiAddress{"127.0.0.1", static_cast<std::uint16_t>(port), "Telescope Simulator"});
    std::vector<benchnotes::PulseNote> notes;
    benchnotes::PulseNotes driver(indi, notes);
    for (const auto& step :
         {std::function<void(Callback<Done>)>([&](auto d) { driver.open(d); }),
          std::function<void(Callback<Done>)>([&](auto d) { driver.connect(d); }),
          std::function<void(Callback<Done>)>([&](auto d) { driver.setGuideRateRightAscension(0.5, d); }),
          std::function<void(Callback<Done>)>([&](auto d) { driver.setGuideRateDeclination(0.5, d); })}) {
        const auto r = await<Done>(step);
        if (!r.ok()) {
            std::fprintf(stderr, "setting up the mount failed: %s\n", r.failure.message.c_str());
            return 1;
        }
    }

    int questions = 0;
    std::vector<std::string> errors;
    GuideOutput output(
        [&](std::function<void(bool)> answer) {
            ++questions;
            answer(true); // "Unpark Scope?" -> Yes
        },
        [&](const std::string& message) { errors.push_back(message); });
    output.setDriver(&driver);
    GuideController controller;
    const int intervalMs = 1000 / hz;
    const PidGains gains{0.7, 0.2, 0.1};

    struct Tick {
        double te, u;
        TickOutcome outcome;
        GuidePulse ra;
    };
    std::vector<Tick> ticks;
    QElapsedTimer clock;
    clock.start();
    QTimer timer1;
    QObject::connect(&timer1, &QTimer::timeout, [&] {
        TickInputs in;
        in.now = std::chrono::milliseconds(clock.elapsed());
        in.reading = LatestReading{trackingErrorAt(clock.elapsed() / 1000.0), in.now};
        in.intervalMs = intervalMs;
        in.gains = gains;
        in.rates = GuideRates{0.5, 0.5};
        const auto d = guideTick(controller, output, in);
        ticks.push_back({in.reading->trackingError, d.correction.value_or(0), d.outcome, d.ra});
    });
    timer1.start(intervalMs);
    QEventLoop run;
    QTimer::singleShot(seconds * 1000, &run, &QEventLoop::quit);
    run.exec();
    timer1.stop();
    QEventLoop settle; // let the last answers arrive
    QTimer::singleShot(1500, &settle, &QEventLoop::quit);
    settle.exec();

    std::ofstream out(pulsesFile);
    int sentWe = 0, sentNs = 0, refused = 0;
    for (const auto& n : notes) {
        if (!n.ok) {
            ++refused;
            continue;
        }
        const bool first = n.direction == GuideDirection::West || n.direction == GuideDirection::North;
        const bool we = std::string(axisOf(n.direction)) == "WE";
        (we ? sentWe : sentNs) += 1;
        out << axisOf(n.direction) << ' ' << (first ? n.durationMs : 0) << ' ' << (first ? 0 : n.durationMs)
            << '\n';
    }
    // The RA pulses the controller decided must be the ones the driver was asked for, in order.
    std::vector<std::pair<GuideDirection, int>> decided, asked;
    int sendTicks = 0;
    for (const auto& t : ticks)
        if (t.outcome == TickOutcome::Send) {
            ++sendTicks;
            decided.emplace_back(t.ra.direction, t.ra.durationMs);
        }
    for (const auto& n : notes)
        if (std::string(axisOf(n.direction)) == "WE")
            asked.emplace_back(n.direction, n.durationMs);
    // A tick may decide and send nothing (the mount was parked and the operator asked): a subsequence, in
    // order.
    std::size_t matched = 0;
    for (const auto& d : decided)
        if (matched < asked.size() && asked[matched] == d)
            ++matched;
    const bool inOrder = matched == asked.size();
    int skipped = 0;
    for (const auto& t : ticks)
        skipped += t.outcome == TickOutcome::CallsInFlight ? 1 : 0;

    std::printf(
        "ticks %zu at %d Hz over %d s: %d sent, %d skipped (calls of the tick before still under way)\n",
        ticks.size(), hz, seconds, sendTicks, skipped);
    std::printf("pulses taken by the mount: %d west/east, %d north/south; %d refused; unpark questions %d\n",
                sentWe, sentNs, refused, questions);
    std::printf(
        "controller's RA pulses == pulses asked of the driver, in order: %s (%zu asked, %zu decided)\n",
        inOrder ? "yes" : "NO", asked.size(), decided.size());
    for (std::size_t i = 0; i < errors.size() && i < 5; ++i)
        std::printf("error: %s\n", errors[i].c_str());
    return inOrder ? 0 : 1;
}
