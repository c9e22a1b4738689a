// The Alpaca driver, discovery and management listing against tools/alpaca-mount-sim over 127.0.0.1: both
// connect flows, the guide-rate values on the wire, release, and each fault the simulator can play.
#include "support/MountSim.h"
#include "telescope/alpaca/AlpacaDriver.h"
#include "telescope/alpaca/AlpacaSource.h"

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTest>
#include <QUdpSocket>

#include <memory>

using namespace telescope;
using namespace telescope::alpaca;

namespace {

quint16 freeUdpPort() {
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

// Runs a search to its end: what it found and the problem it reports.
using Found = std::pair<std::vector<TelescopeEntry>, std::string>;
Found searchOn(QNetworkAccessManager& net, DiscoveryTargets targets) {
    AlpacaSource source(net, targets);
    std::optional<Found> answer;
    source.search([&](const std::vector<TelescopeEntry>& f, const std::string& p) { answer.emplace(f, p); });
    const bool answered = QTest::qWaitFor([&] { return answer.has_value(); }, 10000);
    return answered ? *answer : Found{}; // no answer fails both uses
}

// The disconnect, if any, has left when closed runs: the driver may go at once.
bool closeAndWait(Driver& driver) {
    bool closed = false;
    driver.close([&closed] { closed = true; });
    return QTest::qWaitFor([&closed] { return closed; }, 20000);
}

bool openAndConnect(AlpacaDriver& driver) {
    return ask<Done>(driver, &Driver::open).ok() && ask<Done>(driver, &Driver::connect).ok();
}

} // namespace

class TestAlpacaDriver : public QObject {
    Q_OBJECT
    QNetworkAccessManager net;

private slots:
    void bothInterfaceVersionsConnectAndReleaseAsTheirStandardSays() {
        for (const char* version : {"3", "4"}) {
            MountSim sim({"--interface", version});
            QVERIFY(sim.port != 0);
            auto driver = std::make_unique<AlpacaDriver>(sim.id(), net);
            QVERIFY(ask<Done>(*driver, &Driver::open).ok());
            QCOMPARE(driver->interfaceVersion(), QByteArray(version).toInt());
            const auto connected = ask<Done>(*driver, &Driver::connect);
            QVERIFY2(connected.ok(), connected.failure.message.c_str());
            QCOMPARE(*ask<bool>(*driver, &Driver::connected).value, true);
            const QByteArray log = sim.requests();
            const bool v4 = QByteArray(version) == "4";
            QVERIFY(log.contains(v4 ? "PUT /api/v1/telescope/0/connect ClientID="
                                    : "PUT /api/v1/telescope/0/connected ClientID="));
            QVERIFY(log.contains(v4 ? "GET /api/v1/telescope/0/connecting" : "Connected=true"));
            // Every request carries both IDs.
            QVERIFY(log.contains("ClientTransactionID="));
            QVERIFY(closeAndWait(*driver));
            driver.reset();
            QVERIFY(sim.received(v4 ? "PUT /api/v1/telescope/0/disconnect" : "Connected=false"));
        }
    }

    // A mount shared with another program, and one never reached (no telescope of that number), are left as
    // they are.
    void closeDisconnectsOnlyWhatThisDriverConnected() {
        MountSim sim({"--interface", "3"});
        sim.control("PUT", "/api/v1/telescope/0/connected",
                    "Connected=true&ClientID=7&ClientTransactionID=1");
        AlpacaDriver shared(sim.id(), net);
        QVERIFY(openAndConnect(shared));
        AlpacaDriver absent(sim.id(1), net); // the server has no telescope 1
        const auto none = ask<Done>(absent, &Driver::open);
        QVERIFY(none.failure.number == 400 &&
                none.failure.message.find("no telescope number 1") != std::string::npos);
        QVERIFY(closeAndWait(shared) && closeAndWait(absent));
        QVERIFY(!sim.requests().contains("Connected=false"));
        QVERIFY(sim.control("GET", "/api/v1/telescope/0/connected").contains("\"Value\":true"));
    }

    void guideRatesGoOutInDegreesPerSecondAndComeBackAsMultiples() {
        MountSim sim({"--interface", "4"});
        AlpacaDriver driver(sim.id(), net);
        QVERIFY(openAndConnect(driver));
        QVERIFY(ask<Done>(driver, &Driver::setGuideRateRightAscension, 0.5).ok());
        QVERIFY(ask<Done>(driver, &Driver::setGuideRateDeclination, 0.2).ok());
        const QByteArray log = sim.requests();
        QVERIFY2(log.contains("GuideRateRightAscension=0.00208333333333333"), log.constData());
        QVERIFY(log.contains("GuideRateDeclination=0.000833333333333333"));
        QCOMPARE(qRound(*ask<double>(driver, &Driver::guideRateRightAscension).value * 1e6), 500000);
        QCOMPARE(qRound(*ask<double>(driver, &Driver::guideRateDeclination).value * 1e6), 200000);
        // 5 x 15"/s is beyond the mount's range: refused with the device's 0x401, the rate unchanged.
        const auto refused = ask<Done>(driver, &Driver::setGuideRateRightAscension, 5.0);
        QCOMPARE(refused.failure.number, 0x401);
        QCOMPARE(qRound(*ask<double>(driver, &Driver::guideRateRightAscension).value * 1e6), 500000);
    }

    void pulseGuidingMovesTheMount() {
        MountSim sim({"--ra", "5.5"});
        AlpacaDriver driver(sim.id(), net);
        QVERIFY(openAndConnect(driver));
        QVERIFY(ask<Done>(driver, &Driver::pulseGuide, GuideDirection::East, 200).ok());
        QVERIFY(sim.received("PUT /api/v1/telescope/0/pulseguide ClientID="));
        QVERIFY(sim.requests().contains("Direction=2 Duration=200"));
        QVERIFY(QTest::qWaitFor([&] { return *ask<double>(driver, &Driver::rightAscension).value > 5.5; },
                                10000));
    }

    void eachFaultArrivesWithTheDevicesNumber() {
        const struct {
            const char* fault;
            bool pulse; // else a declination read
            int number;
        } cases[] = {
            {"not-connected", false, 0x407},
            {"parked", true, 0x408},
            {"overlap", true, 0x40B},
            {"http-500", false, 500},
            {"malformed", false, failureMalformed},
            {"slow", false, failureTimeout},
        };
        MountSim sim({"--slow-ms", "3000"});
        for (const auto& c : cases) {
            AlpacaDriver driver(sim.id(), net, Timeouts{.read = 500});
            sim.fault("none");
            QVERIFY(openAndConnect(driver));
            sim.fault(c.fault);
            const Failure f = c.pulse
                                  ? ask<Done>(driver, &Driver::pulseGuide, GuideDirection::West, 100).failure
                                  : ask<double>(driver, &Driver::declination).failure;
            QVERIFY2(f.number == c.number && !f.message.empty(), c.fault);
        }
    }

    void openFindsNoServerWhereThereIsNone() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        AlpacaDriver unreachable({Backend::Alpaca, "127.0.0.1", closed.serverPort(), 0, {}}, net);
        closed.close();
        QCOMPARE(ask<Done>(unreachable, &Driver::open).failure.number, failureUnreachable);
    }

    void aDestroyedDriverNeverAnswers() {
        MountSim sim({"--fault", "slow", "--slow-ms", "1000"});
        bool called = false;
        {
            AlpacaDriver driver(sim.id(), net);
            driver.declination([&](const Result<double>&) { called = true; });
            QVERIFY(sim.received("GET /api/v1/telescope/0/declination"));
        }
        QTest::qWait(1500);
        QVERIFY(!called);
    }

    void discoveryOnLoopbackFindsTheSimulatedTelescope() {
        const quint16 discoveryPort = freeUdpPort();
        MountSim sim({"--discovery-port", QString::number(discoveryPort)});
        DiscoveryTargets targets;
        targets.addresses = {QHostAddress(QHostAddress::LocalHost)};
        targets.port = discoveryPort;
        targets.listenMs = 500;
        const auto [found, problem] = searchOn(net, targets);
        QVERIFY2(problem.empty(), problem.c_str());
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found.front().id, "alpaca://127.0.0.1:" + std::to_string(sim.port) + "/telescope/0");
        QCOMPARE(found.front().name, std::string("Alpaca Mount Simulator"));

        // Nobody on the other port: the search ends with a problem in words, not silently.
        targets.port = freeUdpPort();
        const auto [none, said] = searchOn(net, targets);
        QVERIFY(none.empty() && !said.empty());
    }
};

QTEST_GUILESS_MAIN(TestAlpacaDriver)
#include "tst_alpaca_driver.moc"
