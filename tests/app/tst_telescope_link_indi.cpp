// "Connect to ASCOM Driver" against the real indiserver + indi_simulator_telescope (run by with_indiserver.sh
// on 127.0.0.1:7624): a mount that another client of the server connected before us stays connected when
// Check2 is cleared or the program ends; one we connected is disconnected, as the server reports it. A server
// killed and started again during a guided run is connected again by itself.
#include "ReadingFeed.h"
#include "acquisition/ReadingProcessor.h"
#include "app/GuideLoop.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "app/WindowFixture.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <csignal>

namespace {

const char* const kId = "indi://127.0.0.1:7624/Telescope Simulator";

// The value of one of the simulator's elements ("CONNECTION.CONNECT") as indi_getprop reads it from the
// server.
QString simulatorValue(const char* element) {
    QProcess p;
    p.start(QStringLiteral("indi_getprop"),
            {QStringLiteral("-p"), QStringLiteral("7624"), QStringLiteral("-t"), QStringLiteral("2"),
             QStringLiteral("Telescope Simulator.") + QLatin1String(element)});
    p.waitForFinished(10000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().section(QLatin1Char('='), 1);
}

// "On" or "Off".
QString connectSwitch() {
    return simulatorValue("CONNECTION.CONNECT");
}

// Another client of the server (indi_setprop) switches the mount on or off.
void otherClientSets(const char* element) {
    QProcess::execute(QStringLiteral("indi_setprop"),
                      {QStringLiteral("-p"), QStringLiteral("7624"),
                       QStringLiteral("Telescope Simulator.CONNECTION.%1=On").arg(QLatin1String(element))});
}

} // namespace

class TestTelescopeLinkIndi : public QObject {
    Q_OBJECT
    WindowFixture m_w;

    app::TelescopeLink& link() { return m_w.form->telescopeLink(); }

    // A fresh window on the program's own drivers, whose chooser answers the simulator.
    bool openWindow() {
        if (!m_w.enter())
            return false;
        m_w.fakeDrivers = false;
        m_w.chooserAnswer = kId;
        m_w.makeForm();
        m_w.form->startUp();
        return true;
    }

private slots:
    // Check2 cleared, or the program ending (the disconnect given a second, as the program does once its
    // window has closed): a mount another client connected first stays connected, one we connected does not.
    void aSharedMountStaysConnectedOursIsDisconnected() {
        for (const bool shared : {true, false})
            for (const bool programEnds : {false, true}) {
                otherClientSets(shared ? "CONNECT" : "DISCONNECT");
                QVERIFY(QTest::qWaitFor([&] { return connectSwitch() == (shared ? "On" : "Off"); }, 10000));
                QVERIFY(openWindow());
                m_w.find<QCheckBox>("Check2")->setChecked(true);
                QVERIFY(QTest::qWaitFor([this] { return link().PositionCalc_Timer()->isActive(); }, 20000));
                bool allClosed = false;
                connect(&link(), &app::TelescopeLink::allClosed, this, [&allClosed] { allClosed = true; });
                // Once closed, whatever we sent has reached the server ahead of indi_getprop's question.
                if (programEnds) {
                    link().shutDown(1000);
                } else {
                    m_w.find<QCheckBox>("Check2")->setChecked(false);
                    QVERIFY(QTest::qWaitFor([&] { return allClosed; }, 10000));
                }
                m_w.leave();
                if (shared)
                    QCOMPARE(connectSwitch(), QStringLiteral("On"));
                else
                    QTRY_COMPARE_WITH_TIMEOUT(connectSwitch(), QStringLiteral("Off"), 5000);
            }
    }

    // Last: the server it leaves running ends with the test.
    void aServerStartedAgainIsConnectedAgainAndGuidingGoesOn() {
        QVERIFY(openWindow());
        m_w.guideAt5Hz(1); // guide rate 0.3 (the simulator's is 0.5)
        ReadingFeed feed;
        QVERIFY(feed.ok());
        m_w.find<QPushButton>("Command1")->click();
        // The operator answers the unpark question Yes whenever it is asked.
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [this] {
            if (QMessageBox* box = m_w.form->guideLoop().unparkBox())
                box->button(QMessageBox::Yes)->click();
        });
        answer.start(100);
        const auto& lines = m_w.form->recordingRun().processor().state();
        const auto sent = [this] {
            return m_w.form->guideLoop().output().ticksSent();
        };
        QTRY_VERIFY_WITH_TIMEOUT(sent() > 0 && lines.raText.starts_with("RA  "), 20000);

        QVERIFY(::kill(qEnvironmentVariableIntValue("INDISERVER_PID"), SIGTERM) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(lines.raText, std::string("None"), 10000);
        QProcess server;
        server.start(QStringLiteral("indiserver"), {QStringLiteral("-p"), QStringLiteral("7624"),
                                                    QStringLiteral("indi_simulator_telescope")});
        QVERIFY(server.waitForStarted(10000));
        const int sentBefore = sent();
        QTRY_VERIFY_WITH_TIMEOUT(lines.raText.starts_with("RA  "), 40000);
        QTRY_VERIFY_WITH_TIMEOUT(sent() > sentBefore, 20000);
        // The guide rate is written again to the new simulator.
        QCOMPARE(simulatorValue("GUIDE_RATE.GUIDE_RATE_WE").toDouble(), 0.3);
        m_w.find<QPushButton>("Command2")->click();
        m_w.leave();
        server.terminate();
        server.waitForFinished(10000);
    }
};

QTEST_MAIN(TestTelescopeLinkIndi)
#include "tst_telescope_link_indi.moc"
