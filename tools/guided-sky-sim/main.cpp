// guided-sky-sim: one simulated sky served two ways, for closing the guiding loop without hardware. One mount
// (the Alpaca simulator's MountModel) is an ASCOM Alpaca telescope on 127.0.0.1 and the QEL unit on a
// pseudo-terminal (COM<n>) measures its periodic error less what the accepted guide pulses have moved it.
#include "AlpacaDevice.h"
#include "HttpServer.h"
#include "MountModel.h"
#include "PseudoTerminal.h"
#include "SimulatedSky.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "One simulated sky: an ASCOM Alpaca telescope (device 0) and a QEL unit on COM<n> that measures the "
        "mount's periodic error less what the guide pulses it accepted have moved it. East lowers the error. "
        "GET /sim/requests lists every request received.");
    parser.addHelpOption();
    const QCommandLineOption portOption("port", "HTTP port on 127.0.0.1 (0: any free port; default 0).",
                                        "port", "0");
    const QCommandLineOption comOption("com", "Make COM<n> for the QEL unit (default 1).", "n", "1");
    const QCommandLineOption dirOption("dir", "Directory of the COM<n> link (default .).", "dir", ".");
    const QCommandLineOption rateOption("rate", "Readings per second (default 8).", "n", "8");
    const QCommandLineOption peakOption("peak", "Periodic error, +- arcsec (default 4).", "arcsec", "4");
    const QCommandLineOption noiseOption("noise", "Reading noise, arcsec (default 0.3).", "arcsec", "0.3");
    const QCommandLineOption seedOption("seed", "Noise seed (default 1).", "n", "1");
    const QCommandLineOption parkedOption("parked", "Start parked.");
    const QCommandLineOption truthOption(
        "truth", "Write \"seconds code true-error\" for every reading to this file.", "file");
    parser.addOptions({portOption, comOption, dirOption, rateOption, peakOption, noiseOption, seedOption,
                       parkedOption, truthOption});
    parser.process(app);

    const double rate = parser.value(rateOption).toDouble();
    if (!(rate > 0.0 && rate <= 960.0)) {
        std::fprintf(stderr, "guided-sky-sim: --rate needs 0 < n <= 960 readings per second\n");
        return 2;
    }
    // The sky's clock starts before the server's, so the sky never looks at the mount earlier than a pulse.
    QElapsedTimer clock;
    clock.start();
    mountsim::MountModel mount(5.5, 45.25);
    mount.atPark = parser.isSet(parkedOption);
    mountsim::AlpacaDevice device(mount, 4);
    mountsim::HttpServer server(device);
    if (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(parser.value(portOption).toUInt()))) {
        std::fprintf(stderr, "guided-sky-sim: cannot listen on 127.0.0.1 port %s: %s\n",
                     qPrintable(parser.value(portOption)), qPrintable(server.errorString()));
        return 1;
    }

    qelsim::SkyModel model;
    model.peak = parser.value(peakOption).toDouble();
    model.error.noise = parser.value(noiseOption).toDouble();
    qelsim::SimulatedSky sky(model, parser.value(seedOption).toUInt(), mount, 0.0);

    std::ofstream truth;
    if (parser.isSet(truthOption)) {
        truth.open(parser.value(truthOption).toStdString(), std::ios::trunc);
        if (!truth) {
            std::fprintf(stderr, "guided-sky-sim: cannot write %s\n", qPrintable(parser.value(truthOption)));
            return 1;
        }
    }

    std::string error;
    qelsim::Pty pty;
    qelsim::ComLink link;
    const std::string comName = "COM" + parser.value(comOption).toStdString();
    if (!pty.create(error) ||
        !link.make(std::filesystem::path(parser.value(dirOption).toStdString()) / comName, pty.slavePath,
                   error)) {
        std::fprintf(stderr, "guided-sky-sim: %s\n", error.c_str());
        return 1;
    }
    // Tests and scripts read the port and the line from these first lines.
    std::printf("guided-sky-sim: http://127.0.0.1:%u\n", server.port());
    std::printf("guided-sky-sim: %s -> %s\n", comName.c_str(), pty.slavePath.c_str());
    std::fflush(stdout);

    // One reading every 1/rate s on the sky's clock; a late timer sends the readings it owes, as the unit
    // would.
    std::uint64_t sent = 0, notSent = 0, index = 0;
    QTimer readings;
    readings.setTimerType(Qt::PreciseTimer);
    readings.setInterval(std::max(1, static_cast<int>(500.0 / rate)));
    QObject::connect(&readings, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e9;
        for (; index / rate <= now; ++index) {
            const double at = index / rate;
            const std::uint8_t code = sky.readingCode(at);
            if (::write(pty.master, &code, 1) == 1)
                ++sent;
            else
                ++notSent; // nobody reading: the buffer is full
            if (truth.is_open())
                truth << at << ' ' << static_cast<int>(code) << ' ' << sky.trackingError(at) << '\n';
        }
    });
    readings.start();

    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, [&] {
        if (stopRequested)
            app.quit();
    });
    stopCheck.start(50);

    const int status = app.exec();
    std::printf("guided-sky-sim: sent %llu readings; %llu not sent (nobody reading)\n",
                static_cast<unsigned long long>(sent), static_cast<unsigned long long>(notSent));
    return status;
}
