// Guiding ticks through the real Alpaca driver to tools/alpaca-mount-sim over 127.0.0.1: the pulseguide
// requests the simulator logs (directions, durations). The unpark question: test_guide_tick, tst_guide_loop.
#include "support/MountSim.h"
#include "telescope/alpaca/AlpacaDriver.h"
#include "telescope/guiding/GuideOutput.h"

#include <QNetworkAccessManager>
#include <QTest>

using namespace telescope;

class TestGuidingAlpaca : public QObject {
    Q_OBJECT

    // A driver connected to the simulator with guide rate 0.5 (7.5 "/s).
    std::unique_ptr<alpaca::AlpacaDriver> connectTo(MountSim& sim) {
        auto driver = std::make_unique<alpaca::AlpacaDriver>(sim.id(), m_net);
        const bool ready = answer<Done>([&](auto cb) { driver->open(cb); }).ok() &&
                           answer<Done>([&](auto cb) { driver->connect(cb); }).ok() &&
                           answer<Done>([&](auto cb) { driver->setGuideRateRightAscension(0.5, cb); }).ok() &&
                           answer<Done>([&](auto cb) { driver->setGuideRateDeclination(0.5, cb); }).ok();
        return ready ? std::move(driver) : nullptr;
    }

    // One 1 Hz tick with Kp = 1 on a reading of `arcsec`, then its calls to their answers.
    static TickDecision tick(GuideController& controller, GuideOutput& output, double arcsec, int second) {
        TickInputs in;
        in.now = std::chrono::milliseconds(second * 1000);
        in.reading = LatestReading{arcsec, in.now};
        in.gains = {1.0, 0.0, 0.0};
        in.rates = {0.5, 0.5};
        const auto d = guideTick(controller, output, in);
        if (!QTest::qWaitFor([&] { return !output.callsInFlight(); }, 20000))
            qWarning("the tick's calls got no answer");
        return d;
    }

    QNetworkAccessManager m_net;

private slots:
    void ticksBecomePulseguideRequests() {
        MountSim sim({"--port", "0"});
        QVERIFY(sim.port != 0);
        auto driver = connectTo(sim);
        QVERIFY(driver);
        GuideController controller;
        QStringList errors;
        GuideOutput output(nullptr, [&](const std::string& m) { errors << QString::fromStdString(m); });
        output.setDriver(driver.get());

        // +1" east 133 ms, -1" west 133 ms, 0" west 0 ms, +2.5" east 333 ms; each tick with a 0 ms south
        // pulse.
        const double readings[] = {1.0, -1.0, 0.0, 2.5};
        int second = 0;
        for (double arcsec : readings) {
            QCOMPARE(tick(controller, output, arcsec, ++second).outcome, TickOutcome::Send);
            // The mount's pulse ends before the next tick, as with real ticks a second apart.
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return sim.control("GET", "/api/v1/telescope/0/ispulseguiding")
                        .contains("\"Value\":false");
                },
                10000));
        }
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QCOMPARE(sim.pulses(), QStringList({"2 133", "1 0", "3 133", "1 0", "3 0", "1 0", "2 333", "1 0"}));
    }
};

QTEST_GUILESS_MAIN(TestGuidingAlpaca)
#include "tst_guiding_alpaca.moc"
