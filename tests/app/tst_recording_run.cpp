// A recording run end to end inside the real window: the real serial class on a pseudo-terminal (linked as
// COM1 in the working directory, as an operator links a device), Start, readings, Stop; the record file,
// the panel, the event log and what the operator is told when something fails.
#include "acquisition/SerialLink.h"
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/WindowFixture.h"
#include "support/PtyPair.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
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

    void lostLinkNamesThePortKeepsEveryLineAndRecovers() {
        find<QCheckBox>("Check5")->setChecked(true);
        find<widgets::OneRowList>("List4")->setSelectedIndex(0); // "1 Hz"
        press("Command1");
        QVERIFY(timer1()->isActive());
        QVERIFY(m_pty->write(codes(40)));
        QTRY_COMPARE(m_w.lines(kRecordFile).size(), 40);
        m_pty->hangUp();
        QTRY_VERIFY(!told("serial").isEmpty());
        // The port as the operator chose it, the device it maps to, and what happened in words.
        const QString said = told("serial");
        const QString port =
            QStringLiteral("port 1 (COM1 \u2192 %1)").arg(QString::fromStdString(m_pty->slavePath()));
        QVERIFY2(
            said.contains(QStringLiteral("on %1 was lost: the device hung up or was unplugged.").arg(port)),
            qPrintable(said));
        QVERIFY(!run().CommPort1().isOpen());
        // No guiding on the last reading before the unplug.
        QVERIFY(!timer1()->isActive());
        QVERIFY(!run().isRecordFileOpen());
        QVERIFY(!green());
        QCOMPARE(m_w.lines(kRecordFile).size(), 40);

        // The operator plugs the unit back in, presses Stop and Start: recording goes on in the same file.
        press("Command2");
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(linkCom1(QString::fromStdString(m_pty->slavePath())));
        press("Command1");
        QVERIFY(run().CommPort1().isOpen());
        QVERIFY(m_pty->write(codes(3)));
        QTRY_COMPARE(m_w.lines(kRecordFile).size(), 43);
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
