// alpaca-mount-sim: an ASCOM Alpaca telescope (device 0) for tests and the demo, on 127.0.0.1 unless told
// otherwise, with a discovery responder and faults that can be switched on while it runs.
#include "AlpacaDevice.h"
#include "HttpServer.h"
#include "MountModel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A simulated ASCOM Alpaca telescope. Control while running: PUT /sim/fault Fault=<none|not-connected|"
        "parked|overlap|http-500|slow|malformed|hang>, PUT /sim/park, GET /sim/requests (every request "
        "received).");
    parser.addHelpOption();
    const QCommandLineOption bindOption("bind", "Address to listen on (default 127.0.0.1).", "address",
                                        "127.0.0.1");
    const QCommandLineOption portOption("port", "HTTP port (0: any free port; default 0).", "port", "0");
    const QCommandLineOption discoveryOption(
        "discovery-port", "Answer discovery probes on this UDP port (0: none).", "port", "0");
    const QCommandLineOption versionOption("interface", "Telescope interface version, 3 or 4 (default 4).",
                                           "n", "4");
    const QCommandLineOption parkedOption("parked", "Start parked.");
    const QCommandLineOption fixedRatesOption("no-guide-rates", "CanSetGuideRates is false.");
    const QCommandLineOption raOption("ra", "Start RA in hours (default 5.5).", "hours", "5.5");
    const QCommandLineOption decOption("dec", "Start Dec in degrees (default 45.25).", "degrees", "45.25");
    const QCommandLineOption faultOption("fault", "Start with this fault switched on.", "name", "none");
    const QCommandLineOption slowOption("slow-ms", "Delay of the slow fault in ms (default 8000).", "ms",
                                        "8000");
    parser.addOptions({bindOption, portOption, discoveryOption, versionOption, parkedOption, fixedRatesOption,
                       raOption, decOption, faultOption, slowOption});
    parser.process(app);

    const QHostAddress bind(parser.value(bindOption));
    const int version = parser.value(versionOption).toInt();
    if (bind.isNull() || (version != 3 && version != 4)) {
        std::fprintf(stderr, "alpaca-mount-sim: --bind needs an IP address and --interface 3 or 4\n");
        return 2;
    }
    mountsim::MountModel mount(parser.value(raOption).toDouble(), parser.value(decOption).toDouble());
    mount.atPark = parser.isSet(parkedOption);
    mount.canSetGuideRates = !parser.isSet(fixedRatesOption);
    mountsim::AlpacaDevice device(mount, version);
    device.slowMs = parser.value(slowOption).toInt();
    if (!mountsim::parseFault(parser.value(faultOption).toStdString(), device.fault)) {
        std::fprintf(stderr, "alpaca-mount-sim: unknown fault %s\n", qPrintable(parser.value(faultOption)));
        return 2;
    }

    mountsim::HttpServer server(device);
    if (!server.listen(bind, static_cast<quint16>(parser.value(portOption).toUInt()))) {
        std::fprintf(stderr, "alpaca-mount-sim: cannot listen on %s port %s: %s\n",
                     qPrintable(bind.toString()), qPrintable(parser.value(portOption)),
                     qPrintable(server.errorString()));
        return 1;
    }

    QUdpSocket discovery;
    const quint16 discoveryPort = static_cast<quint16>(parser.value(discoveryOption).toUInt());
    if (discoveryPort != 0) {
        if (!discovery.bind(bind, discoveryPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            std::fprintf(stderr, "alpaca-mount-sim: cannot answer discovery on port %u: %s\n", discoveryPort,
                         qPrintable(discovery.errorString()));
            return 1;
        }
        QObject::connect(&discovery, &QUdpSocket::readyRead, &discovery, [&discovery, &server] {
            while (discovery.hasPendingDatagrams()) {
                const QNetworkDatagram probe = discovery.receiveDatagram(256);
                if (probe.data().contains("alpacadiscovery"))
                    discovery.writeDatagram(probe.makeReply(QByteArray("{\"AlpacaPort\":") +
                                                            QByteArray::number(server.port()) + "}"));
            }
        });
    }
    // Tests and the demo read the port from this first line.
    std::printf("alpaca-mount-sim: http://%s:%u interface %d discovery %u\n", qPrintable(bind.toString()),
                server.port(), version, discoveryPort);
    std::fflush(stdout);
    return app.exec();
}
