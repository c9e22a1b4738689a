// Guiding on the real window, with readings from a pseudo-terminal and FakeDrivers whose answers the test
// holds and releases: ticks only from Start to Stop and while PID control is on, nothing sent or said while
// the mount is still being reached, nothing sent once Check5 is cleared, one unpark box at a time.
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "app/WindowFixture.h"
#include "support/FakeDriver.h"
#include "support/PtyPair.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

using telescope::FakeDriver;
using testsupport::PtyPair;

class TestGuideLoop : public QObject {
    Q_OBJECT

    WindowFixture m_w;
    std::unique_ptr<PtyPair> m_pty;

    app::GuideLoop& loop() { return m_w.form->guideLoop(); }
    QTimer* timer1() { return loop().Timer1(); }
    QCheckBox* check(const char* name) { return m_w.find<QCheckBox>(name); }
    FakeDriver& mount() { return *m_w.lastFake; }
    long pulses() {
        return std::count_if(mount().calls.begin(), mount().calls.end(),
                             [](const std::string& c) { return c.starts_with("pulseGuide 2 "); });
    }
    // PID control on at 5 Hz with Kp 1.0, connected to a FakeDriver made by `setup`.
    void guideWith(std::function<void(FakeDriver&)> setup) {
        m_w.fakeSetup = std::move(setup);
        m_w.guideAt5Hz(3);
    }
    // A reading (+1.0" for 119) that ticks guide on for the next two seconds.
    void freshReading(std::uint8_t code = 119) {
        QVERIFY(m_pty->write(std::vector<std::uint8_t>{code}));
        QTRY_COMPARE(m_w.form->recordingRun().processor().state().lastSampleText, std::to_string(code));
    }
    void startWithAReading() {
        m_w.find<QPushButton>("Command1")->click();
        freshReading();
    }

private slots:
    void init() {
        QVERIFY(m_w.enter());
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(QFile::link(QString::fromStdString(m_pty->slavePath()), m_w.dir.filePath("COM1")));
        m_w.fakeSetup = [](FakeDriver&) {
        };
        m_w.makeForm();
        m_w.form->startUp();
    }
    void cleanup() {
        m_w.leave();
        m_pty.reset();
    }

    void aTickWhileTheMountIsStillBeingReachedSendsAndSaysNothing() {
        // The device answers nothing until the test lets it; checking Check5 waits for it to be reached.
        QTimer::singleShot(0, this, [this] { mount().releaseAll(); }); // open: answered while Check2 waits
        guideWith([](FakeDriver& f) { f.holdAnswers = true; });
        const QList<QByteArray> log = m_w.logLines(); // ..., PID Controller Enabled, Established ...
        QCOMPARE(log.size(), 4);
        QVERIFY(log.last().contains(" Established ASCOM Connection alpaca://"));
        QCOMPARE(mount().calls, (std::vector<std::string>{"open", "connect"}));
        startWithAReading();
        QVERIFY(timer1()->isActive());
        for (int tick = 0; tick < 2; ++tick)
            loop().Timer1_Timer();
        QCOMPARE(mount().calls, (std::vector<std::string>{"open", "connect"}));
        QVERIFY(m_w.form->messages().shown("guiding").isEmpty());

        // Connected, guide rates asked and written: from then on the ticks reach the mount.
        while (!m_w.form->telescopeLink().PositionCalc_Timer()->isActive()) {
            QVERIFY(mount().pendingCount() > 0);
            mount().releaseAll();
        }
        mount().holdAnswers = false;
        mount().releaseAll();
        loop().Timer1_Timer();
        QCOMPARE(std::vector(mount().calls.end() - 4, mount().calls.end()),
                 (std::vector<std::string>{"connected", "atPark", "pulseGuide 2 26", "pulseGuide 1 0"}));
    }

    // Start and Stop start and stop the ticks at the control rate: tst_recording_run.
    void clearingCheck5StopsTheTicksAndWhatATickHasUnderWay() {
        guideWith([](FakeDriver&) {});
        QVERIFY(!timer1()->isActive()); // on, but no run yet
        startWithAReading();
        QTRY_VERIFY(pulses() >= 1);
        const double integral = loop().controller().state().pidIntegral;

        // A tick's first call is out when the operator clears the box: its answer sends nothing more.
        timer1()->stop();
        mount().holdAnswers = true;
        loop().Timer1_Timer();
        QCOMPARE(mount().calls.back(), std::string("connected"));
        const std::size_t before = mount().calls.size();
        check("Check5")->setChecked(false);
        QVERIFY(!timer1()->isActive());
        mount().holdAnswers = false;
        mount().releaseAll();
        QCOMPARE(mount().calls.size(), before);
        QCOMPARE(m_w.logLines().last().mid(23).trimmed(), QByteArray("PID Controller Disabled"));

        // Checked again during the run: ticks at the rate of the last Start, the controller's memory kept.
        freshReading(120);
        check("Check5")->setChecked(true);
        QVERIFY(timer1()->isActive() && timer1()->interval() == 200);
        QCOMPARE(loop().controller().state().pidIntegral, integral);
        QTRY_VERIFY(mount().calls.size() > before);

        // Clearing Check2 clears Check5 and the ticks with it; checking Check2 alone brings neither back.
        for (const bool checked : {false, true}) {
            check("Check2")->setChecked(checked);
            QVERIFY(!check("Check5")->isChecked() && !timer1()->isActive());
        }
    }

    void aParkedMountIsAskedOnceAndClearingCheck5AnswersNo() {
        guideWith([](FakeDriver& f) { f.parked = true; });
        startWithAReading();
        timer1()->stop(); // the test ticks by hand
        for (int i = 0; i < 3; ++i)
            loop().Timer1_Timer();
        QMessageBox* box = loop().unparkBox();
        QVERIFY(box);
        QCOMPARE(m_w.form->findChildren<QMessageBox*>().size(), 1);
        QCOMPARE(box->windowTitle() + '|' + box->text(), QStringLiteral("QEL TE Recorder|Unpark Scope?"));
        QCOMPARE(pulses(), 0);

        // Readings keep arriving while the question is open.
        freshReading(118);

        check("Check5")->setChecked(false);
        QTRY_VERIFY(!loop().unparkBox());
        QVERIFY(!loop().output().unparkQuestionOpen());
        QVERIFY(std::find(mount().calls.begin(), mount().calls.end(), "unpark") == mount().calls.end());

        // Asked again once guiding is back on (No, Yes and the tick after: test_guide_tick).
        check("Check5")->setChecked(true);
        timer1()->stop();
        loop().Timer1_Timer();
        QVERIFY(loop().unparkBox());
    }

    // Started with --guide-log: one line per tick, written once the tick's fate is known.
    void theGuideLogHasALinePerTickWithWhatBecameOfIt() {
        QVERIFY(loop().openGuideLog(m_w.dir.filePath("guide.txt")).isEmpty());
        guideWith([](FakeDriver&) {});
        startWithAReading();
        timer1()->stop();
        loop().Timer1_Timer(); // answered at once: sent
        mount().holdAnswers = true;
        loop().Timer1_Timer(); // its first call held ...
        loop().Timer1_Timer(); // ... so this one is skipped
        mount().holdAnswers = false;
        mount().failNext["pulseGuide 2"] = {0x40B, "A pulse is still running"};
        mount().releaseAll(); // the held tick's pulse refused
        const QByteArray fields = " TE 1.000 U 1.000 RA E 26 RATE 0.500 ";
        QTRY_COMPARE(
            m_w.lines("guide.txt"),
            QList<QByteArray>({"2013-Jan-05 21:14:07.42" + fields + "sent\r",
                               "2013-Jan-05 21:14:07.42 TE 1.000 U 1.000 RA - 0 RATE 0.500 skipped busy\r",
                               "2013-Jan-05 21:14:07.42" + fields + "refused 0x40B\r"}));
    }

    void aRepeatedRefusalIsCountedNotRaised() {
        guideWith([](FakeDriver&) {});
        startWithAReading();
        timer1()->stop();
        for (int i = 0; i < 3; ++i) {
            mount().failNext["pulseGuide 2"] = {0x40B, "A pulse is still running"};
            loop().Timer1_Timer();
        }
        QVERIFY(m_w.form->messages().shown("guiding").contains("0x40B"));
        QCOMPARE(m_w.form->messages().repeats("guiding"), 2);
    }
};

QTEST_MAIN(TestGuideLoop)
#include "tst_guide_loop.moc"
