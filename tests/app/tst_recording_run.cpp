// A recording run end to end inside the real window: the real serial class on a pseudo-terminal (linked as
// COM1 in the working directory, as an operator links a device), Start, readings, Stop; the record file,
// the panel, the event log and what the operator is told when something fails. The simulated unit's process
// killed and started again mid-run: tst_recording_run_unit_restart.
#include "acquisition/SerialLink.h"
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/WindowFixture.h"
#include "support/PtyPair.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using testsupport::PtyPair;

namespace {

const QString kRecordFile = QStringLiteral("QEL_TE_Recorder1.txt");

std::vector<std::uint8_t> codes(int count, int first = 100) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((first + i) % 256);
    return v;
}

// The decimal code of a record line "7E:126: 2013-...".
int codeOf(const QByteArray& line) {
    return line.split(':').value(1).toInt();
}

} // namespace

class TestRecordingRun : public QObject {
    Q_OBJECT

    void press(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    template <typename T>
    T* find(const char* name) {
        return m_w.find<T>(name);
    }
    app::RecordingRun& run() { return m_w.form->recordingRun(); }
    QTimer* timer1() { return m_w.form->guideLoop().Timer1(); }
    QString told(const char* topic) { return m_w.form->messages().shown(QString::fromLatin1(topic)); }
    bool linkCom1(const QString& device) {
        QFile::remove(m_w.dir.filePath(QStringLiteral("COM1")));
        return QFile::link(device, m_w.dir.filePath(QStringLiteral("COM1")));
    }
    std::pair<bool, bool> startAndStopEnabled() {
        return {find<QPushButton>("Command1")->isEnabled(), find<QPushButton>("Command2")->isEnabled()};
    }
    bool green() { return find<widgets::IndicatorSquare>("Label3")->isGreen(); }

    WindowFixture m_w;
    std::unique_ptr<PtyPair> m_pty; // the unit, linked as COM1

private slots:
    // The window after start-up without a settings file (factory settings: port 1, "2.2", 120 samples, Check4
    // only), with the unit on COM1.
    void init() {
        QVERIFY(m_w.enter());
        m_pty = std::make_unique<PtyPair>();
        QVERIFY2(m_pty->ok(), m_pty->error().c_str());
        QVERIFY(linkCom1(QString::fromStdString(m_pty->slavePath())));
        m_w.makeForm();
        m_w.form->startUp();
    }

    void cleanup() {
        m_w.leave();
        m_pty.reset();
    }

    // The 5 Hz unit with high speed on: every reading recorded and charted (standard mode would chart one in
    // eight). Which reading feeds which output in each mode: test_reading_route.
    void recordsAndChartsEveryReadingAtHighSpeed() {
        find<widgets::OneRowList>("List3")->setSelectedIndex(3);
        find<QCheckBox>("Check3")->setChecked(true);
        find<QCheckBox>("Check1")->setChecked(true);

        press("Command1");
        QVERIFY(green());
        const auto sent = codes(17);
        m_pty->writeInBackground(sent, 1, std::chrono::milliseconds(2));
        QTRY_VERIFY(m_pty->writerDone());
        QTRY_COMPARE(run().processor().state().lastSampleText, std::string("116"));
        press("Command2");
        run().recordWriter().waitUntilIdle(); // Stop leaves the last lines to the writer

        const auto lines = m_w.lines(kRecordFile);
        QCOMPARE(lines.size(), 17);
        for (int i = 0; i < 17; ++i)
            QCOMPARE(codeOf(lines.at(i)), int(sent[static_cast<std::size_t>(i)]));
        QCOMPARE(lines.first(), QByteArray("64:100: 2013-Jan-05 21:14:07.42  TE:    3.375 None None\r"));
        QCOMPARE(run().processor().sweep().state().sampleCount, 17);
        // Every reading is shown in the panel in all three columns; the panel begins with a line break.
        const QString panel = find<QPlainTextEdit>("Text1")->toPlainText();
        QCOMPARE(panel.count(QLatin1Char('\n')), 17);
        QVERIFY(
            panel.endsWith(QStringLiteral("74:116: 2013-Jan-05 21:14:07.42  TE:    1.375 ASCOM None None")));
        QVERIFY(!green());
    }

    void startStopStartAppendsToTheSameFile() {
        // The first run gets 300 readings in one write (several per read), the second 5; the file keeps both.
        const std::vector<std::uint8_t> runs[] = {codes(300, 0), codes(5, 10)};
        qsizetype expected = 0;
        for (const auto& sent : runs) {
            press("Command1");
            QVERIFY(!find<QPushButton>("Command1")->isEnabled());
            QVERIFY(m_pty->write(sent));
            expected += static_cast<qsizetype>(sent.size());
            QTRY_COMPARE(m_w.lines(kRecordFile).size(), expected);
            press("Command2");
            QVERIFY(find<QPushButton>("Command1")->isEnabled());
        }
        const auto lines = m_w.lines(kRecordFile);
        for (int i = 0; i < 300; ++i)
            QCOMPARE(codeOf(lines.at(i)), i % 256);
        QCOMPARE(codeOf(lines.at(300)), 10);
        QCOMPARE(m_w.logLines().join('\n').count(" Established QEL Serial Connection\r"), 2);
    }

    void missingPortIsToldAndCreatesNoFile() {
        QVERIFY(linkCom1(QStringLiteral("/nonexistent/qel-device")));
        press("Command1");
        QVERIFY(!QFile::exists(m_w.dir.filePath(kRecordFile)));
        QVERIFY(m_w.logLines().last().endsWith(" Failed to Establish QEL Serial Connection\r"));
        const QString said = told("serial");
        QVERIFY2(said.contains(QStringLiteral("/nonexistent/qel-device")) &&
                     said.contains(QStringLiteral("No such file or directory")),
                 qPrintable(said));
        // "Start failed": Stop enabled, Start disabled; Stop returns to Idle.
        QCOMPARE(startAndStopEnabled(), std::pair(false, true));
        QVERIFY(!green());
        press("Command2");
        QCOMPARE(startAndStopEnabled(), std::pair(true, false));
    }

    void unopenableRecordFileClosesThePortAgain() {
        find<QLineEdit>("Text3")->setText(QStringLiteral("no-such-directory/run.txt"));
        press("Command1");
        QVERIFY(!run().CommPort1().isOpen());
        QVERIFY(m_w.logLines().last().endsWith(" Failed to Establish QEL Serial Connection\r"));
        const QString said = told("record file");
        QVERIFY2(said.contains(QStringLiteral("no-such-directory/run.txt")), qPrintable(said));
        QVERIFY(!green());
    }

    void fullDiskIsToldWhileRecordingGoesOn() {
        find<QCheckBox>("Check1")->setChecked(true);
        find<QLineEdit>("Text3")->setText(QStringLiteral("/dev/full"));
        press("Command1");
        QVERIFY(run().isRecordFileOpen());
        QVERIFY(m_pty->write(codes(20)));
        // The writer thread's report reaches the operator; the readings are still shown.
        QTRY_VERIFY(!told("record file").isEmpty());
        const QString said = told("record file");
        QVERIFY2(said.contains(QStringLiteral("\"/dev/full\": No space left on device")), qPrintable(said));
        QTRY_COMPARE(find<QPlainTextEdit>("Text1")->toPlainText().count(QLatin1Char('\n')), 20);
        press("Command2");
    }

    // The unit's adapter goes away mid-run and comes back under another device node behind the same COM1
    // link: the run goes on, and recording with it into the same file, without Stop and Start.
    void lostLinkIsToldTriedEverySecondAndRecordingGoesOn() {
        find<QCheckBox>("Check5")->setChecked(true);
        find<widgets::OneRowList>("List4")->setSelectedIndex(0); // "1 Hz"
        press("Command1");
        QVERIFY(timer1()->isActive());
        const qsizetype logLines = m_w.logLines().size();
        QVERIFY(m_pty->write(codes(40)));
        QTRY_COMPARE(m_w.lines(kRecordFile).size(), 40);
        const QString oldDevice = QString::fromStdString(m_pty->slavePath());
        m_pty->hangUp();
        QTRY_VERIFY(run().isRestoringLink());

        // Told once: the port as the operator chose it, the device it maps to, what happened, what happens
        // now.
        const QString said = told("serial");
        const QString port = QStringLiteral("port 1 (COM1 \u2192 %1)").arg(oldDevice);
        QVERIFY2(
            said.contains(
                QStringLiteral("on %1 was lost at 21:14:07: the device hung up or was unplugged.").arg(port)),
            qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("trying every second")) &&
                     said.contains(QStringLiteral("Stop")),
                 qPrintable(said));
        // The run goes on; no guiding on the last reading before the unplug.
        QVERIFY(!run().CommPort1().isOpen());
        QVERIFY(!timer1()->isActive());
        QVERIFY(!green());
        QCOMPARE(startAndStopEnabled(), std::pair(false, true));

        // An attempt finds COM1 pointing nowhere: not back yet, said in the tooltips and under the message.
        m_w.clock.set({2013, 1, 5, 21, 14, 9, 0});
        const QString state = QStringLiteral("trying again every 1 s, last attempt 21:14:09: %1 leads to %2, "
                                             "which is not there")
                                  .arg(m_w.dir.filePath(QStringLiteral("COM1")), oldDevice);
        QTRY_VERIFY2(find<widgets::IndicatorSquare>("Label3")->toolTip().contains(state),
                     qPrintable(find<widgets::IndicatorSquare>("Label3")->toolTip()));
        QVERIFY(find<QLabel>("Label16")->toolTip().contains(state));
        QVERIFY(m_w.form->messages().shownDetail(QStringLiteral("serial")).contains(state));
        QCOMPARE(told("serial"), said); // the box is not raised again for each attempt
        QCOMPARE(m_w.form->messages().repeats(QStringLiteral("serial")), 0);

        // The unit is back under another node (made while the old one is still held).
        auto back = std::make_unique<PtyPair>();
        QVERIFY(linkCom1(QString::fromStdString(back->slavePath())));
        m_pty = std::move(back);
        m_w.clock.set({2013, 1, 5, 21, 15, 10, 0});
        QTRY_VERIFY(green());
        QVERIFY(!run().isRestoringLink());
        QVERIFY(timer1()->isActive());
        const QString backSaid = told("serial");
        QVERIFY2(backSaid.contains(
                     QStringLiteral("on port 1 (COM1 \u2192 %1) is back since 21:15:10, after a gap of ")
                         .arg(QString::fromStdString(m_pty->slavePath()))) &&
                     backSaid.contains(QStringLiteral("(lost at 21:14:07)")),
                 qPrintable(backSaid));
        QCOMPARE(startAndStopEnabled(), std::pair(false, true));

        QVERIFY(m_pty->write(codes(3)));
        QTRY_COMPARE(m_w.lines(kRecordFile).size(), 43);
        const auto lines = m_w.lines(kRecordFile);
        for (int i = 0; i < 43; ++i) // no marker line: the gap is only the jump of the time stamps
            QCOMPARE(codeOf(lines.at(i)), 100 + (i < 40 ? i : i - 40));
        QCOMPARE(m_w.logLines().size(), logLines); // the event log holds its milestones only
        press("Command2");
    }

    void stopWhileTryingEndsTheTryingAsStopAlwaysDoes() {
        press("Command1");
        QVERIFY(m_pty->write(codes(5)));
        QTRY_COMPARE(m_w.lines(kRecordFile).size(), 5);
        m_pty->hangUp();
        QTRY_VERIFY(run().isRestoringLink());
        QVERIFY(run().isRecordFileOpen()); // kept through the gap

        m_w.clock.set({2013, 1, 5, 21, 20, 0, 0});
        press("Command2");
        QCOMPARE(startAndStopEnabled(), std::pair(true, false));
        QVERIFY(!run().isRestoringLink());
        QVERIFY(!m_w.form->findChild<QTimer*>(QStringLiteral("reconnect timer"))->isActive());
        QVERIFY(!run().CommPort1().isOpen());
        QVERIFY(!run().isRecordFileOpen());
        QVERIFY(!green());
        QVERIFY(!find<widgets::IndicatorSquare>("Label3")->toolTip().contains(QStringLiteral("trying")));
        const QString detail = m_w.form->messages().shownDetail(QStringLiteral("serial"));
        QVERIFY2(
            detail.startsWith(QStringLiteral("Link lost at 21:14:07; Stop ended the trying at 21:20:00")),
            qPrintable(detail));

        // The next Start opens the unit wherever COM1 now leads and appends to the same file.
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(linkCom1(QString::fromStdString(m_pty->slavePath())));
        press("Command1");
        QVERIFY(green());
        QVERIFY(m_pty->write(codes(2)));
        QTRY_COMPARE(m_w.lines(kRecordFile).size(), 7);
        press("Command2");
    }

    void recordFileOpenedMidRunUsesTheNameTakenAtStart() {
        auto* text3 = find<QLineEdit>("Text3");
        find<QCheckBox>("Check4")->setChecked(false);
        text3->setText(QStringLiteral("later/run.txt")); // its directory does not exist yet
        press("Command1");
        QVERIFY(run().CommPort1().isOpen());
        QVERIFY(!run().isRecordFileOpen());

        // During the run the operator makes the directory, edits the name and checks "Record to File".
        QVERIFY(QDir(m_w.dir.path()).mkdir(QStringLiteral("later")));
        text3->setText(QStringLiteral("other.txt"));
        find<QCheckBox>("Check4")->setChecked(true);
        QVERIFY(run().isRecordFileOpen());
        QVERIFY(m_pty->write(codes(3)));
        QTRY_COMPARE(m_w.lines(QStringLiteral("later/run.txt")).size(), 3);
        QVERIFY(!QFile::exists(m_w.dir.filePath(QStringLiteral("other.txt"))));
        press("Command2");
    }

    void pidTimerFollowsTheControlRate() {
        QTimer* t1 = timer1();
        find<QCheckBox>("Check5")->setChecked(true);
        find<widgets::OneRowList>("List4")->setSelectedIndex(1); // "2 Hz"
        press("Command1");
        QVERIFY(t1->isActive());
        QCOMPARE(t1->interval(), 500);
        press("Command2");
        QVERIFY(!t1->isActive());

        find<widgets::OneRowList>("List4")->setSelectedIndex(-1); // no rate: never an interval from 0
        press("Command1");
        QVERIFY(!t1->isActive());
        QVERIFY(told("pid").contains(QStringLiteral("Control Rate")));
        press("Command2");
    }

    void optionsReactAtOnce() {
        auto* check1 = find<QCheckBox>("Check1");
        auto* check3 = find<QCheckBox>("Check3");
        auto* check4 = find<QCheckBox>("Check4");

        find<widgets::OneRowList>("List3")->setSelectedIndex(3); // the 5 Hz unit
        QVERIFY(check3->isEnabled());
        QVERIFY(!find<QCheckBox>("Check5")->isEnabled()); // only start-up enables PID control
        check1->setChecked(true);
        check3->setChecked(true);
        QVERIFY(!check1->isChecked());
        QCOMPARE(check4->text(), QStringLiteral("High Speed Record to File"));
        find<widgets::OneRowList>("List3")->setSelectedIndex(1); // "2.4 "
        QVERIFY(!check3->isEnabled());
        QVERIFY(check3->isChecked());
        check3->setChecked(false);
        QCOMPARE(check4->text(), QStringLiteral("Record to File"));
    }
};

QTEST_MAIN(TestRecordingRun)
#include "tst_recording_run.moc"
