// "Connect to ASCOM Driver" against the real indiserver + indi_simulator_telescope (run by with_indiserver.sh
// on 127.0.0.1:7624): a mount that another client of the server connected before us stays connected when
// Check2 is cleared or the program ends; one we connected is disconnected, as the server reports it.
#include "app/TelescopeLink.h"
#include "app/WindowFixture.h"

#include <QCheckBox>
#include <QProcess>
#include <QTimer>

namespace {

const char* const kId = "indi://127.0.0.1:7624/Telescope Simulator";

// "On" or "Off": the simulator's CONNECTION.CONNECT as indi_getprop reads it from the server.
QString connectSwitch() {
    QProcess p;
    p.start(QStringLiteral("indi_getprop"),
            {QStringLiteral("-p"), QStringLiteral("7624"), QStringLiteral("-t"), QStringLiteral("2"),
             QStringLiteral("Telescope Simulator.CONNECTION.CONNECT")});
    p.waitForFinished(10000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().section(QLatin1Char('='), 1);
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
};

QTEST_MAIN(TestTelescopeLinkIndi)
#include "tst_telescope_link_indi.moc"
