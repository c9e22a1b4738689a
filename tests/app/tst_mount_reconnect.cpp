// A mount lost during a guided run comes back by itself, on the real window with the real Alpaca driver and
// tools/alpaca-mount-sim over 127.0.0.1: the simulator killed and started again on the same port, and a
// server that locks up (accepts requests, never answers) and later answers again.
#include "ReadingFeed.h"
#include "acquisition/ReadingProcessor.h"
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "app/WindowFixture.h"
#include "support/MountSim.h"
#include "telescope/alpaca/AlpacaDriver.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>

#include <memory>

class TestMountReconnect : public QObject {
    Q_OBJECT
    WindowFixture m_w;
    QNetworkAccessManager m_net;

    app::TelescopeLink& link() { return m_w.form->telescopeLink(); }
    std::string raText() { return m_w.form->recordingRun().processor().state().raText; }
    QString told() { return m_w.form->messages().shown(QStringLiteral("telescope")); }
    QString toldState() { return m_w.form->messages().shownDetail(QStringLiteral("telescope")); }

    // The window guiding at 5 Hz (Kp 1.0, guide rate 0.3) on the simulator at `port`, recording from a feed
    // of readings. readMs: the driver's limit on a read.
    bool guide(quint16 port, int readMs) {
        if (!m_w.enter())
            return false;
        m_w.fakeDrivers = false;
        m_w.chooserAnswer = "alpaca://127.0.0.1:" + std::to_string(port) + "/telescope/0";
        m_w.makeForm();
        link().setDriverMaker([this, readMs](const std::string& id, std::string&) {
            telescope::alpaca::Timeouts limits;
            limits.read = readMs;
            return std::make_unique<telescope::alpaca::AlpacaDriver>(*telescope::parseDriverId(id), m_net,
                                                                     limits);
        });
        m_w.form->startUp();
        m_w.guideAt5Hz(1);
        m_feed = std::make_unique<ReadingFeed>();
        m_w.find<QPushButton>("Command1")->click();
        return m_feed->ok() && QTest::qWaitFor([this] { return raText() == "RA  05:30:00"; }, 20000);
    }
    std::unique_ptr<ReadingFeed> m_feed;

private slots:
    void cleanup() {
        m_feed.reset();
        m_w.leave();
    }

    void theSimulatorRestartedOnItsPortIsConnectedAgain() {
        auto sim = std::make_unique<MountSim>(QStringList{"--port", "0"});
        const quint16 port = sim->port;
        QVERIFY(guide(port, 5000));
        QVERIFY(sim->received("PUT /api/v1/telescope/0/pulseguide "));
        const auto logLines = m_w.logLines().size();

        sim.reset(); // the mount's server is gone: refused at once
        QTRY_COMPARE_WITH_TIMEOUT(raText(), std::string("None"), 10000);
        QVERIFY(told().contains(QStringLiteral("was lost")));
        QTRY_VERIFY_WITH_TIMEOUT(toldState().contains(QStringLiteral("Trying again every")), 10000);

        sim = std::make_unique<MountSim>(QStringList{"--port", QString::number(port)});
        QCOMPARE(sim->port, port);
        QTRY_COMPARE_WITH_TIMEOUT(raText(), std::string("RA  05:30:00"), 30000);
        QVERIFY(sim->received("PUT /api/v1/telescope/0/pulseguide "));
        QVERIFY(sim->requests().contains("PUT /api/v1/telescope/0/guideraterightascension"));
        QVERIFY(told().contains(QStringLiteral("is back since")));
        QCOMPARE(m_w.logLines().size(), logLines); // restoring writes no event-log line
        QVERIFY(m_w.find<QCheckBox>("Check2")->isChecked());
    }

    void aServerThatHangsNeitherStallsTheWindowNorStaysLost() {
        MountSim sim({"--port", "0"});
        QVERIFY(guide(sim.port, 3000));
        // The window's event loop, watched while the server takes requests and never answers.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this,
                [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        sinceTick.start();
        probe.start(50);

        sim.fault("hang");
        QTRY_COMPARE_WITH_TIMEOUT(raText(), std::string("None"), 30000); // three reads of 3 s at most each
        QTRY_VERIFY_WITH_TIMEOUT(toldState().contains(QStringLiteral("Trying again every")), 20000);
        sim.fault("none");
        QTRY_COMPARE_WITH_TIMEOUT(raText(), std::string("RA  05:30:00"), 60000);
        probe.stop();
        // A blocking call would hold the window for a whole time limit (3 s).
        QVERIFY2(longestGap < 2000, qPrintable(QString::number(longestGap)));
    }
};

QTEST_MAIN(TestMountReconnect)
#include "tst_mount_reconnect.moc"
