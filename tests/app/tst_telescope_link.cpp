// "Connect to ASCOM Driver" on the window with a FakeDriver: the log lines and nested runs with PID control
// (PID control checked while the connection fails: the start-up case below; a cancelled chooser:
// test_connection), the chooser's preselection, the guide rates, failures told and the box cleared. The
// position in the lines and a lost mount restored by itself: tst_mount_reconnect, with the real driver.
#include "WindowFixture.h"

#include "acquisition/ReadingProcessor.h"
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QTimer>

using telescope::FakeDriver;

namespace {
const std::string kId = "alpaca://127.0.0.1:11111/telescope/0";
}

class TestTelescopeLink : public QObject {
    Q_OBJECT
    WindowFixture m_w;

    QCheckBox* check(const char* name) { return m_w.find<QCheckBox>(name); }
    app::TelescopeLink& link() { return m_w.form->telescopeLink(); }
    QStringList logTails() {
        QStringList tails;
        for (const QByteArray& line : m_w.logLines())
            tails << QString::fromLatin1(line).section(QLatin1Char('.'), 1).mid(2).remove(QLatin1Char('\r'));
        return tails;
    }
    // Checks Check2, with the next FakeDriver set up by `setup`.
    void connectWith(std::function<void(FakeDriver&)> setup) {
        m_w.fakeSetup = std::move(setup);
        check("Check2")->setChecked(true);
    }

private slots:
    void init() {
        QVERIFY(m_w.enter());
        m_w.chooserAnswer = kId;
        m_w.preselections.clear();
        m_w.fakeSetup = [](FakeDriver&) {
        };
        m_w.makeForm();
        m_w.form->startUp();
    }
    void cleanup() { m_w.leave(); }

    // The preselection after another choice, and after a cancelled chooser: test_connection.
    void connectsPreselectsTheLastChoiceAndReleasesWithADisconnect() {
        link().setID(kId); // as --telescope does
        check("Check2")->setChecked(true);
        QCOMPARE(m_w.preselections, std::vector<std::string>{kId});
        QCOMPARE(logTails().last(), QString::fromStdString(" Established ASCOM Connection " + kId));
        QVERIFY(link().PositionCalc_Timer()->isActive());
        QCOMPARE(std::vector(m_w.lastFake->calls.begin(), m_w.lastFake->calls.begin() + 2),
                 (std::vector<std::string>{"open", "connect"}));
        FakeDriver* first = m_w.lastFake;
        check("Check2")->setChecked(false);
        QCOMPARE(first->disconnects, 1);
        QVERIFY(!link().PositionCalc_Timer()->isActive());
    }

    void guideRatesAreTheListsMultipleAndList8GoesForAFixedRateMount() {
        m_w.find<widgets::OneRowList>("List8")->setSelectedIndex(3); // "0.5"
        check("Check2")->setChecked(true);
        QCOMPARE((std::vector{m_w.lastFake->writtenRateRa, m_w.lastFake->writtenRateDec,
                              link().guideRates().ra, link().guideRates().dec}),
                 (std::vector{0.5, 0.5, 0.5, 0.5}));
        // Taken once, at connection.
        m_w.find<widgets::OneRowList>("List8")->setSelectedIndex(8);
        QCOMPARE(link().guideRates().ra, 0.5);
        check("Check2")->setChecked(false);

        connectWith([](FakeDriver& f) { f.canSetRates = false; });
        QVERIFY(m_w.find<widgets::OneRowList>("List8")->isHidden());
        QCOMPARE(link().guideRates().ra, 0.5); // kept from before
        QVERIFY(check("Check2")->isChecked());
        // A mount that snaps the rate is told in words: test_connection.
    }

    void failedConnectionsAreToldAndClearTheBox() {
        connectWith([](FakeDriver& f) {
            f.openFailure = {telescope::failureUnreachable, "connection refused"};
        });
        QCOMPARE(logTails().last(), QString::fromStdString(" Failed to Establish ASCOM Connection " + kId));
        QVERIFY(!check("Check2")->isChecked());
        QVERIFY(m_w.form->messages().shown("telescope").contains("connection refused"));

        connectWith([](FakeDriver& f) { f.connectFailure = {0x407, "The mount is not connected"}; });
        QCOMPARE(logTails().last(), QString::fromStdString(" Established ASCOM Connection " + kId));
        QVERIFY(!check("Check2")->isChecked() && !link().PositionCalc_Timer()->isActive());
        QVERIFY(m_w.form->messages().shown("telescope").contains("0x407"));
    }

    void clearedWhileTheDeviceIsStillBeingReachedWritesTheFailureLine() {
        // The operator clears the box while Check2's run waits for the device; its late answer changes
        // nothing.
        QTimer::singleShot(0, this, [this] { check("Check2")->setChecked(false); });
        connectWith([](FakeDriver& f) { f.holdAnswers = true; });
        QCOMPARE(logTails().mid(2),
                 QStringList({" Failed to Establish ASCOM Connection " + QString::fromStdString(kId)}));
        FakeDriver* fake = m_w.lastFake;
        QCOMPARE(fake->closes, 1);
        fake->releaseAll();
        QCOMPARE(logTails().size(), 3);
        QVERIFY(!link().myTelescope() && !link().PositionCalc_Timer()->isActive());
    }

    // A settings file that connects the telescope and switches PID control on: the connection's line comes
    // where the load set Check2, the chooser asked again when it failed, as the nested handlers go.
    void startUpOrderWithATelescopeInTheSettings() {
        const std::pair<bool, QStringList> cases[] = {
            {true,
             {" QEL Log File Startup", " Established ASCOM Connection " + QString::fromStdString(kId),
              " PID Controller Enabled", " Load Settings Complete", " Chart Initialized"}},
            {false,
             {" QEL Log File Startup", " Failed to Establish ASCOM Connection " + QString::fromStdString(kId),
              " PID Controller Enabled",
              " Failed to Establish ASCOM Connection " + QString::fromStdString(kId),
              " PID Controller Disabled", " Load Settings Complete", " Chart Initialized"}},
        };
        for (const auto& [reachable, log] : cases) {
            m_w.leave();
            QVERIFY(m_w.enter());
            QFile ini(QStringLiteral("QEL_TE_Recorder.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Display]\r\nCommPort= 0\r\nDisplaySamples= 0\r\nQELVersion= 3\r\nRecordToFile= 1\r\n"
                      "DisplayTabularData= 0\r\nHighSpeedRecord= 0\r\nConnectToASCOMDriver= 1\r\n"
                      "OutputFile=QEL_TE_Recorder1.txt\r\n[ASCOM PID]\r\nEnableASCOMPIDControl= 1\r\n"
                      "ControlRate= 0\r\nPropGain= 0\r\nIntegrGain= 0\r\nDerivGain= 0\r\nGuideRate= 0\r\n");
            ini.close();
            m_w.fakeSetup = [reachable](FakeDriver& f) {
                f.holdAnswers = true;
                if (!reachable)
                    f.openFailure = {telescope::failureUnreachable, "connection refused"};
            };
            m_w.makeForm();
            // The device answers while start-up waits for it, as a real one does some time later.
            QTimer release;
            connect(&release, &QTimer::timeout, this, [this] {
                if (m_w.lastFake)
                    m_w.lastFake->releaseAll();
            });
            release.start(10);
            m_w.form->startUp();
            release.stop();
            QCOMPARE(logTails(), log);
            QCOMPARE(check("Check5")->isChecked(), reachable);
        }
    }
};

QTEST_MAIN(TestTelescopeLink)
#include "tst_telescope_link.moc"
