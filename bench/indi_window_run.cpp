// The real window guiding an INDI mount: qel-unit-sim on COM1 supplies the tracking error, the window
// connects to indi_simulator_telescope through its own TelescopeLink and GuideLoop with PID control on, and
// every pulse the loop asked of the driver is written out for comparison with indiserver's -vvv log. Run by
// bench/indi-window-run.sh inside with_indiserver.sh.
//
//   bench_indi_window_run [--seconds 120] [--hz 2] [--kp 0.7 --ki 0.2 --kd 0.1] [--rate 0.5]
//                         [--port 7624] [--pulses FILE] [--screenshot FILE.png]
#include "app/Form1.h"
#include "app/GuideLoop.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "list_choice.h"
#include "load_probes.h"
#include "pulse_notes.h"
#include "recorder_window.h"
#include "telescope/DriverFactory.h"
#include "unit_sim_process.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <clocale>
#include <cmath>
#include <fstream>
#include <iostream>

#ifndef QEL_UNIT_SIM_PATH
#define QEL_UNIT_SIM_PATH "qel-unit-sim"
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    double seconds = 120.0;
    double hz = 2, kp = 0.7, ki = 0.2, kd = 0.1, rate = 0.5;
    int port = 7624;
    QString pulsesFile = "pulses.txt";
    QString screenshot;
    const QStringList args = qapp.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        const QString& flag = args[i];
        const QString& value = args[i + 1];
        if (flag == "--seconds")
            seconds = value.toDouble();
        else if (flag == "--hz")
            hz = value.toDouble();
        else if (flag == "--kp")
            kp = value.toDouble();
        else if (flag == "--ki")
            ki = value.toDouble();
        else if (flag == "--kd")
            kd = value.toDouble();
        else if (flag == "--rate")
            rate = value.toDouble();
        else if (flag == "--port")
            port = value.toInt();
        else if (flag == "--pulses")
            pulsesFile = QFileInfo(value).absoluteFilePath();
        else if (flag == "--screenshot")
            screenshot = QFileInfo(value).absoluteFilePath();
        else {
            std::cerr << "bench_indi_window_run: unknown option " << flag.toStdString() << '\n';
            return 2;
        }
    }

    QTemporaryDir dir;
    dir.setAutoRemove(false);
    QDir::setCurrent(dir.path());
    loadbench::UnitSimProcess unit;
    if (!unit.start(QStringLiteral(QEL_UNIT_SIM_PATH), dir.path(), 8, seconds + 60,
                    dir.filePath("codes.txt"))) {
        std::cerr << "bench_indi_window_run: qel-unit-sim did not start: " << unit.error().toStdString()
                  << '\n';
        return 2;
    }

    std::string error;
    const auto recorder = benchwindow::RecorderWindow::open(error);
    if (!recorder) {
        std::cerr << "bench_indi_window_run: cannot create the event log in "
                  << QDir::currentPath().toStdString() << ": " << error << '\n';
        return 2;
    }
    app::Form1& window = recorder->form();
    const app::Form1Controls& c = window.controls();
    c.Check(4)->setChecked(true); // "Record to File"
    const auto choose = [&c](int list, double value) {
        return benchwindow::chooseListNumber(c, list, value);
    };
    if (!choose(4, hz) || !choose(5, kp) || !choose(6, ki) || !choose(7, kd) || !choose(8, rate)) {
        std::cerr << "bench_indi_window_run: a setting is not among the lists' items\n";
        return 2;
    }

    // The window makes its driver as always; the bench only listens in on the pulses it asks for.
    std::vector<benchnotes::PulseNote> notes;
    QNetworkAccessManager net;
    window.telescopeLink().setDriverMaker([&](const std::string& id, std::string& problem) {
        std::unique_ptr<telescope::Driver> inner = telescope::makeDriver(id, net, problem);
        return inner ? std::make_unique<benchnotes::PulseNotes>(std::move(inner), notes)
                     : std::unique_ptr<telescope::Driver>();
    });
    const std::string id = "indi://127.0.0.1:" + std::to_string(port) + "/Telescope Simulator";
    window.telescopeLink().setID(id); // as --telescope does
    if (!recorder->connectForGuiding(id, rate)) {
        std::cerr << "bench_indi_window_run: no connection to " << id << '\n';
        return 2;
    }
    std::cout << "Guiding: " << id << ", " << hz << " Hz, Kp " << kp << " Ki " << ki << " Kd " << kd
              << ", guide rate " << rate << std::endl;

    int ticks = 0;
    QObject::connect(window.guideLoop().Timer1(), &QTimer::timeout, [&ticks] { ++ticks; });
    c.Command(1)->click(); // Start, on COM1
    if (!window.recordingRun().CommPort1().isOpen()) {
        std::cerr << "bench_indi_window_run: Start did not open COM1\n";
        return 2;
    }
    int unparkYes = 0;
    QElapsedTimer run;
    run.start();
    while (run.elapsed() < seconds * 1000) {
        loadbench::runFor(250);
        // "Unpark Scope?": the operator says Yes.
        if (QMessageBox* box = window.guideLoop().unparkBox(); box && box->isVisible()) {
            box->button(QMessageBox::Yes)->click();
            ++unparkYes;
        }
        if (!screenshot.isEmpty() && run.elapsed() >= seconds * 1000 - 500)
            window.grab().save(screenshot);
    }
    c.Check(5)->setChecked(false); // PID off: no more pulses
    loadbench::runFor(2000);       // the last answers
    const int skipped = window.guideLoop().controller().skippedTicks();
    const std::string latestError = window.guideLoop().output().latestError();
    c.Command(2)->click(); // Stop
    unit.stop();

    std::ofstream out(pulsesFile.toStdString());
    benchnotes::writeTaken(out, notes);
    int we = 0, ns = 0, refused = 0, unanswered = 0;
    for (const auto& n : notes) {
        if (!n.answered)
            ++unanswered;
        else if (!n.ok)
            ++refused;
        else
            (std::string(benchnotes::axisOf(n.direction)) == "WE" ? we : ns) += 1;
    }
    std::cout << "Timer1 ticks " << ticks << " at " << hz << " Hz over " << seconds
              << " s; skipped (calls still out) " << skipped << "; unpark questions answered Yes "
              << unparkYes << '\n';
    std::cout << "pulses asked by the window " << notes.size() << ": taken " << we << " west/east, " << ns
              << " north/south; refused " << refused << "; unanswered " << unanswered << '\n';
    for (const auto& n : notes)
        if (n.answered && !n.ok) {
            std::cout << "first refusal: " << n.failure << '\n';
            break;
        }
    std::cout << "latest guiding error shown: " << (latestError.empty() ? "none" : latestError) << '\n';
    std::cout << "Record file and event log in " << dir.path().toStdString() << '\n';
    return notes.empty() ? 1 : 0;
}
