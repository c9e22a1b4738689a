// Timer1's tick on the real window, with readings from a pseudo-terminal and the FakeDriver: one unpark box
// at a time that does not stop the program, and guiding only between Start and Stop.
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "app/WindowFixture.h"
#include "support/PtyPair.h"
#include "telescope/FakeDriver.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

using testsupport::PtyPair;

class TestGuideLoop : public QObject {
    Q_OBJECT

    WindowFixture m_w;
    std::unique_ptr<PtyPair> m_pty;
    telescope::FakeDriver m_driver;
    std::unique_ptr<app::GuideLoop> m_loop;

    bool send(std::uint8_t code) { return m_pty->write(std::vector<std::uint8_t>{code}); }

    bool pulsed(const std::string& call) const {
        return std::find(m_driver.calls.begin(), m_driver.calls.end(), call) != m_driver.calls.end();
    }

    // Start, with the timer held so that the test ticks by hand.
    void start() {
        m_w.find<QPushButton>("Command1")->click();
        m_w.form->recordingRun().Timer1()->stop();
    }

private slots:
    // A window set for 1 Hz with Kp 1.0 and PID control on (connected to the fixture's FakeDriver), and a
    // loop of the test's own on m_driver guiding at 0.5.
    void init() {
        QVERIFY(m_w.enter());
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(QFile::link(QString::fromStdString(m_pty->slavePath()), m_w.dir.filePath("COM1")));
        m_w.makeForm();
        m_w.form->startUp();
        m_w.find<QCheckBox>("Check5")->setChecked(true);
        m_w.find<widgets::OneRowList>("List4")->setSelectedIndex(0); // "1 Hz"
        m_w.find<widgets::OneRowList>("List5")->setSelectedIndex(9); // Kp "1.0"
        m_driver = telescope::FakeDriver{};
        m_loop = std::make_unique<app::GuideLoop>(m_w.form->controls(), m_w.form->recordingRun(), *m_w.log,
                                                  m_w.form->messages(), m_w.form.get());
        m_loop->setTelescope([this] { return &m_driver; }, [] { return telescope::GuideRates{0.5, 0.5}; });
    }
    void cleanup() {
        m_loop.reset();
        m_w.leave();
        m_pty.reset();
    }

    void parkedMountIsAskedOnceWithoutStoppingTheProgram() {
        m_driver.parked = true;
        start();
        QVERIFY(send(119));
        QTRY_VERIFY(!m_w.form->recordingRun().processor().state().lastSampleText.empty());
        for (int i = 0; i < 3; ++i)
            m_loop->Timer1_Timer();
        QMessageBox* box = m_loop->unparkBox();
        QVERIFY(box);
        QCOMPARE(m_w.form->findChildren<QMessageBox*>().size(), 1);
        QCOMPARE(box->windowTitle() + '|' + box->text(), QStringLiteral("QEL TE Recorder|Unpark Scope?"));
        QVERIFY(!pulsed("pulseGuide 2 133"));

        // Readings keep arriving while the question is open.
        QVERIFY(send(118));
        QTRY_COMPARE(m_w.form->recordingRun().processor().state().lastSampleText, std::string("118"));

        box->button(QMessageBox::Yes)->click();
        QVERIFY(pulsed("unpark"));
        QTRY_VERIFY(!m_loop->unparkBox());
        m_loop->Timer1_Timer();
        QVERIFY(pulsed("pulseGuide 2 150")); // +1.125"
    }

    // The window's own loop on the mount Check5 connected: nothing before Start, pulses from Start to Stop.
    void windowGuidesOnlyBetweenStartAndStop() {
        m_loop.reset();
        telescope::FakeDriver* mount = m_w.lastFake;
        QVERIFY(mount && m_w.form->telescopeLink().myTelescope() == mount);
        QVERIFY(send(119));
        QTest::qWait(1500);
        QVERIFY(!m_w.form->recordingRun().Timer1()->isActive());
        const auto pulses = [mount] {
            return std::count_if(mount->calls.begin(), mount->calls.end(),
                                 [](const std::string& c) { return c.rfind("pulseGuide 2 ", 0) == 0; });
        };
        QCOMPARE(pulses(), 0);

        m_w.find<QPushButton>("Command1")->click();
        QVERIFY(send(119));
        QTRY_VERIFY(pulses() >= 1); // one reading: fresh for two seconds
        m_w.find<QPushButton>("Command2")->click();
        const auto afterStop = pulses();
        QTest::qWait(1500);
        QCOMPARE(pulses(), afterStop);
    }
};

QTEST_MAIN(TestGuideLoop)
#include "tst_guide_loop.moc"
