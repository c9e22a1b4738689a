// The real window recording from guided-sky-sim (one simulated sky: the QEL unit on COM1 and an Alpaca mount
// on 127.0.0.1), for the closed-loop figures: RMS tracking error from the record file, with guiding off (and,
// once the window's guiding is wired to the telescope connection, on), and a screenshot of the chart.
//
//   ./build/bench/bench_guided_run --seconds 960 --screenshot off.png
//   ./build/bench/bench_guided_run --seconds 1940 --pid --pid-off-at 970    guiding switched off half-way
//   ./build/bench/bench_guided_run --seconds 2460 --pid --guide-log guide.txt    five worm turns with a guide
//   log
#include "app/Form1.h"
#include "app/GuideLoop.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "list_choice.h"
#include "load_probes.h"
#include "recorder_window.h"
#include "unit_sim_process.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <iostream>

#ifndef GUIDED_SKY_SIM_PATH
#define GUIDED_SKY_SIM_PATH "guided-sky-sim"
#endif

namespace {

struct Rms {
    double value = 0.0;
    std::size_t count = 0;
};

// RMS of the record file's readings [from, to), arcsec; lines without a code are skipped.
Rms recordedRms(const QString& path, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    Rms r;
    double sum2 = 0.0;
    const std::vector<int> codes = loadbench::codesRecorded(path);
    for (std::size_t i = from; i < std::min(to, codes.size()); ++i) {
        const int code = codes[i];
        if (code < 0)
            continue;
        const double te = (127.0 - code) * 0.125;
        sum2 += te * te;
        ++r.count;
    }
    r.value = r.count ? std::sqrt(sum2 / static_cast<double>(r.count)) : 0.0;
    return r;
}

// RMS of where the simulated mount pointed (third column of guided-sky-sim's --truth file), arcsec.
Rms trueRms(const QString& path) {
    Rms r;
    double sum2 = 0.0;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n')) {
            const auto fields = line.split(' ');
            if (fields.size() < 3)
                continue;
            const double te = fields[2].toDouble();
            sum2 += te * te;
            ++r.count;
        }
    r.value = r.count ? std::sqrt(sum2 / static_cast<double>(r.count)) : 0.0;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    double seconds = 960.0;
    QString screenshot;
    bool pid = false;
    double pidOffAt = -1; // seconds into the run at which Check5 is cleared; < 0: never
    QString guideLog;
    // The list items chosen for guiding: List4 (Hz), List5 to List7 (Kp, Ki, Kd), List8 (guide rate).
    double hz = 5, kp = 0.3, ki = 0.9, kd = 0.0, rate = 0.3;
    const QStringList args = qapp.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == "--seconds" && i + 1 < args.size())
            seconds = args[++i].toDouble();
        else if (args[i] == "--screenshot" && i + 1 < args.size())
            screenshot = QFileInfo(args[++i]).absoluteFilePath();
        else if (args[i] == "--pid")
            pid = true;
        else if (args[i] == "--guide-log" && i + 1 < args.size())
            guideLog = QFileInfo(args[++i]).absoluteFilePath();
        else if (args[i] == "--pid-off-at" && i + 1 < args.size())
            pidOffAt = args[++i].toDouble(), pid = true;
        else if (args[i] == "--hz" && i + 1 < args.size())
            hz = args[++i].toDouble();
        else if (args[i] == "--kp" && i + 1 < args.size())
            kp = args[++i].toDouble();
        else if (args[i] == "--ki" && i + 1 < args.size())
            ki = args[++i].toDouble();
        else if (args[i] == "--kd" && i + 1 < args.size())
            kd = args[++i].toDouble();
        else if (args[i] == "--rate" && i + 1 < args.size())
            rate = args[++i].toDouble();
        else {
            std::cerr << "usage: bench_guided_run [--seconds S] [--screenshot FILE.png]\n"
                         "                        [--pid [--hz 1|2|5] [--kp K] [--ki K] [--kd K] [--rate R]\n"
                         "                               [--pid-off-at S] [--guide-log FILE]]\n";
            return 2;
        }
    }

    QTemporaryDir dir;
    dir.setAutoRemove(false);
    QDir::setCurrent(dir.path());
    QProcess sky;
    sky.setProgram(QStringLiteral(GUIDED_SKY_SIM_PATH));
    sky.setArguments({"--com", "1", "--dir", dir.path(), "--truth", dir.filePath("truth.txt")});
    sky.start();
    if (!sky.waitForStarted(10000) || !sky.waitForReadyRead(10000)) {
        std::cerr << "bench_guided_run: guided-sky-sim did not start: " << sky.errorString().toStdString()
                  << '\n';
        return 2;
    }
    const QString simSays = QString::fromUtf8(sky.readAll());
    std::cout << simSays.toStdString();
    const int portAt = simSays.indexOf("127.0.0.1:");
    const QString port = portAt >= 0 ? simSays.mid(portAt + 10).section('\n', 0, 0).trimmed() : QString();

    std::string error;
    const auto recorder = benchwindow::RecorderWindow::open(error);
    if (!recorder) {
        std::cerr << "bench_guided_run: cannot create the event log in " << QDir::currentPath().toStdString()
                  << ": " << error << '\n';
        return 2;
    }
    app::Form1& window = recorder->form();
    const app::Form1Controls& c = window.controls();
    if (!guideLog.isEmpty())
        if (const QString why = window.guideLoop().openGuideLog(guideLog); !why.isEmpty()) {
            std::cerr << "bench_guided_run: " << why.toStdString() << '\n';
            return 2;
        }
    c.Check(4)->setChecked(true);   // "Record to File"
    c.List(2)->setSelectedIndex(2); // "480" samples: one worm turn on the chart
    if (pid) {
        const auto choose = [&c](int list, double value) {
            return benchwindow::chooseListNumber(c, list, value);
        };
        if (!choose(4, hz) || !choose(5, kp) || !choose(6, ki) || !choose(7, kd) || !choose(8, rate)) {
            std::cerr << "bench_guided_run: a setting is not among the lists' items\n";
            return 2;
        }
        const std::string id = "alpaca://127.0.0.1:" + port.toStdString() + "/telescope/0";
        if (!recorder->connectForGuiding(id, rate)) {
            std::cerr << "bench_guided_run: no connection to " << id << '\n';
            return 2;
        }
        std::cout << "Guiding: " << id << ", " << hz << " Hz, Kp " << kp << " Ki " << ki << " Kd " << kd
                  << ", guide rate " << rate << std::endl;
    }
    c.Command(1)->click(); // Start, on COM1
    if (!window.recordingRun().CommPort1().isOpen()) {
        std::cerr << "bench_guided_run: Start did not open COM1\n";
        return 2;
    }
    // Readings decoded so far: in standard mode each is one record line, so the count at the switch splits
    // the record file.
    std::size_t decoded = 0;
    QObject::connect(&window.recordingRun(), &app::RecordingRun::readingDecoded, [&decoded] { ++decoded; });
    std::size_t decodedAtSwitch = SIZE_MAX;
    int ticksAtSwitch = 0;
    int ticks = 0;
    QObject::connect(window.guideLoop().Timer1(), &QTimer::timeout, [&ticks] { ++ticks; });
    QElapsedTimer run;
    run.start();
    while (run.elapsed() < seconds * 1000) {
        loadbench::runFor(1000);
        if (pidOffAt >= 0 && decodedAtSwitch == SIZE_MAX && run.elapsed() >= pidOffAt * 1000) {
            c.Check(5)->setChecked(false);
            decodedAtSwitch = decoded;
            ticksAtSwitch = ticks;
            std::cout << "PID control switched off after " << run.elapsed() / 1000.0 << " s" << std::endl;
        }
        if (!screenshot.isEmpty() && run.elapsed() >= seconds * 1000 - 1000)
            window.grab().save(screenshot);
    }
    const int skipped = window.guideLoop().controller().skippedTicks();
    const std::string latestError = window.guideLoop().output().latestError();
    c.Command(2)->click(); // Stop
    sky.terminate();
    sky.waitForFinished(10000);

    const Rms recorded = recordedRms(dir.filePath(c.Text3->text()));
    const Rms truth = trueRms(dir.filePath("truth.txt"));
    std::cout << "Guiding " << (pid ? "on" : "off") << ", " << seconds << " s: RMS of " << recorded.count
              << " recorded readings " << recorded.value << "\", of where the mount pointed " << truth.value
              << "\" (" << truth.count << " readings)\n";
    if (decodedAtSwitch != SIZE_MAX) {
        const Rms on = recordedRms(dir.filePath(c.Text3->text()), 0, decodedAtSwitch);
        const Rms off = recordedRms(dir.filePath(c.Text3->text()), decodedAtSwitch);
        std::cout << "PID on: RMS " << on.value << "\" over " << on.count << " readings, " << ticksAtSwitch
                  << " ticks; PID off: RMS " << off.value << "\" over " << off.count << " readings, "
                  << ticks - ticksAtSwitch << " ticks after the switch\n";
    }
    if (pid)
        std::cout << "Ticks skipped: " << skipped
                  << "; latest error: " << (latestError.empty() ? "none" : latestError) << '\n';
    std::cout << "Record file and event log in " << dir.path().toStdString() << '\n';
    return recorded.count > 0 ? 0 : 1;
}
