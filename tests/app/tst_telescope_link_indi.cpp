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
#include "widgets/OneRowList.h"

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

    // A fresh window connected to the simulator, found connected (or not) by another client first.
    bool connectWindow(bool connectedByAnotherClient) {
        otherClientSets(connectedByAnotherClient ? "CONNECT" : "DISCONNECT");
        const QString before = connectedByAnotherClient ? "On" : "Off";
        if (!QTest::qWaitFor([&] { return connectSwitch() == before; }, 10000))
            return false;
        if (!m_w.enter())
            return false;
        m_w.fakeDrivers = false;
        m_w.chooserAnswer = kId;
        m_w.makeForm();
        m_w.form->startUp();
        m_w.find<QCheckBox>("Check2")->setChecked(true);
        return QTest::qWaitFor([this] { return link().PositionCalc_Timer()->isActive(); }, 20000);
    }
private slots:
    void aSharedMountStaysConnectedOursIsDisconnected() {
        for (const bool shared : {true, false}) {
            QVERIFY(connectWindow(shared));
            bool allClosed = false;
            connect(&link(), &app::TelescopeLink::allClosed, this, [&allClosed] { allClosed = true; });
            m_w.find<QCheckBox>("Check2")->setChecked(false);
            // Once closed, whatever we sent has reached the server ahead of indi_getprop's question.
            QVERIFY(QTest::qWaitFor([&] { return allClosed; }, 10000));
            if (shared)
                QCOMPARE(connectSwitch(), QStringLiteral("On"));
            else
                QTRY_COMPARE_WITH_TIMEOUT(connectSwitch(), QStringLiteral("Off"), 2000);
            m_w.leave();
        }
    }

    void atProgramEndTheDisconnectLeavesBeforeTheConnection() {
        for (const bool shared : {true, false}) {
            QVERIFY(connectWindow(shared));
            link().shutDown(1000); // as the program does once its window has closed
            m_w.leave();
            if (shared)
                QCOMPARE(connectSwitch(), QStringLiteral("On"));
            else
                QTRY_COMPARE_WITH_TIMEOUT(connectSwitch(), QStringLiteral("Off"), 2000);
        }
    }

    // Last: the server it leaves running ends with the test.
    void aServerStartedAgainIsConnectedAgainAndGuidingGoesOn() {
        QVERIFY(m_w.enter());
        m_w.fakeDrivers = false;
        m_w.chooserAnswer = kId;
        m_w.makeForm();
        m_w.form->startUp();
        m_w.find<widgets::OneRowList>("List4")->setSelectedIndex(2); // "5 Hz"
        m_w.find<widgets::OneRowList>("List5")->setSelectedIndex(9); // Kp "1.0"
        m_w.find<widgets::OneRowList>("List8")->setSelectedIndex(
            1); // guide rate "0.3" (the simulator's is 0.5)
        m_w.find<QCheckBox>("Check5")->setEnabled(true);
        m_w.find<QCheckBox>("Check5")->setChecked(true);
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
        QCOMPARE(simulatorValue("GUIDE_RATE.GUIDE_RATE_WE").toDouble(),
                 0.3); // written again to the new simulator
        m_w.find<QPushButton>("Command2")->click();
        m_w.leave();
        server.terminate();
        server.waitForFinished(10000);
    }
};

QTEST_MAIN(TestTelescopeLinkIndi)
#include "tst_telescope_link_indi.moc"
