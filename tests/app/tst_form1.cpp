// The main window: its controls' first states, its start-up trail, and what a settings file
// at start-up does to its controls.
#include "app/WindowFixture.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using widgets::IndicatorSquare;
using widgets::OneRowList;

namespace {

void writeSettings(const QString& dir, const QByteArray& contents) {
    QFile f(QDir(dir).filePath(QStringLiteral("QEL_TE_Recorder.ini")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contents);
}

// The 5 Hz unit, 480 samples, port 3, tabular display on.
const QByteArray kSettings =
    "[Display]\r\nCommPort= 2\r\nDisplaySamples= 2\r\nQELVersion= 3\r\nRecordToFile= 1\r\n"
    "DisplayTabularData= 1\r\nHighSpeedRecord= 0\r\nConnectToASCOMDriver= 0\r\n"
    "OutputFile=run.txt\r\n[ASCOM PID]\r\nEnableASCOMPIDControl= 0\r\nControlRate= 1\r\n"
    "PropGain= 0\r\nIntegrGain= 0\r\nDerivGain= 0\r\nGuideRate= 0\r\n";

const QByteArray kStartupLine = "2013-Jan-05 21:14:07.42 QEL Log File Startup\r";
const QByteArray kChartLine = "2013-Jan-05 21:14:07.42 Chart Initialized\r";

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    WindowFixture m_w;

private slots:
    void init() {
        QVERIFY(m_w.enter());
        m_w.makeForm();
    }

    void cleanup() { m_w.leave(); }

    // A first start without settings: nothing was loaded, so there is no load line. Every line ends in CR LF.
    // Before start-up PID control waits, and with no run Stop is disabled.
    void startUpWritesItsLinesInOrder() {
        QCOMPARE(m_w.find<QWidget>("Frame1")->property("title").toString(),
                 QStringLiteral("QEL Tracking Error Recorder Ver. 1.0.6"));
        QVERIFY(!m_w.find<QCheckBox>("Check5")->isEnabled() &&
                !m_w.find<QPushButton>("Command2")->isEnabled());
        m_w.form->startUp();
        QCOMPARE(m_w.logLines(), (QList<QByteArray>{kStartupLine, kChartLine}));
        // The clock shows the time at once, then at each tick.
        QCOMPARE(m_w.find<QLabel>("Label17")->text(), QStringLiteral("2013-Jan-05 21:14:07 LCT"));
        m_w.clock.set({2013, 1, 5, 21, 14, 8, 3});
        m_w.form->Timer2_Timer();
        QCOMPARE(m_w.find<QLabel>("Label17")->text(), QStringLiteral("2013-Jan-05 21:14:08 LCT"));
    }

    void startUpWithASettingsFileLogsTheLoad() {
        writeSettings(m_w.dir.path(), kSettings);
        m_w.form->startUp(); // its log lines: tst_telescope_link's start-up order, e2e_package
        QVERIFY(m_w.form->startUpProblems().isEmpty());
        QCOMPARE(m_w.find<OneRowList>("List1")->selectedText(), QStringLiteral("3"));
        QCOMPARE(m_w.find<QLineEdit>("Text3")->text(), QStringLiteral("run.txt"));
        // The 5 Hz unit was loaded: start-up enables high-speed recording and PID control.
        QVERIFY(m_w.find<QCheckBox>("Check3")->isEnabled() && m_w.find<QCheckBox>("Check5")->isEnabled());
        QVERIFY(m_w.find<IndicatorSquare>("Label13")->isGreen());
    }

    void startUpWithABadSettingsFileAppliesFactorySettingsAndSaysWhy() {
        QByteArray bad = kSettings;
        bad.replace("GuideRate= 0", "GuideRate= 9"); // List8 has 9 items: position 9 does not exist
        writeSettings(m_w.dir.path(), bad);
        m_w.form->startUp();
        // No " Load Settings Complete" for a load that failed.
        QCOMPARE(m_w.logLines(), (QList<QByteArray>{kStartupLine, kChartLine}));
        QCOMPARE(m_w.form->startUpProblems().size(), 1);
        const QString told = m_w.form->startUpProblems().first();
        QVERIFY2(told.contains(QStringLiteral("QEL_TE_Recorder.ini")) &&
                     told.contains(QStringLiteral("line 16")) &&
                     told.contains(QStringLiteral("factory settings are in use")),
                 qPrintable(told));
        // The factory settings, as on a first start: every list has a selection, so Start has a port.
        QCOMPARE((QStringList{m_w.find<OneRowList>("List1")->selectedText(),
                              m_w.find<OneRowList>("List2")->selectedText(),
                              m_w.find<OneRowList>("List8")->selectedText(),
                              m_w.find<QLineEdit>("Text3")->text()}),
                 (QStringList{"1", "120", "0.2", "QEL_TE_Recorder1.txt"}));
        QVERIFY(!m_w.find<IndicatorSquare>("Label13")->isGreen());
        // Saving now writes positions the next start reads back.
        m_w.form->SaveSettings_Click();
        const QByteArray contents = m_w.lines(QStringLiteral("QEL_TE_Recorder.ini")).join('\n');
        QVERIFY2(contents.contains("CommPort= 0\r\n") && !contents.contains("-1"), contents.constData());
    }

    void greyedCheckBoxFromALoadTogglesOnlyClearAndChecked() {
        QByteArray greyed = kSettings;
        greyed.replace("RecordToFile= 1", "RecordToFile= 2");
        writeSettings(m_w.dir.path(), greyed);
        m_w.form->startUp();
        auto* check4 = m_w.find<QCheckBox>("Check4");
        QCOMPARE(check4->checkState(), Qt::PartiallyChecked); // only a load sets it
        QList<Qt::CheckState> seen;
        for (int click = 0; click < 4; ++click) {
            check4->click();
            seen << check4->checkState();
        }
        QCOMPARE(seen, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Unchecked}));
    }

    void eventLogThatCannotBeWrittenIsTold() {
        auto full = app::EventLog::open("/dev/full", m_w.clock, m_w.formatter).log;
        QVERIFY(full);
        app::Form1 form(m_w.clock, m_w.formatter, *full);
        form.startUp();
        QVERIFY2(form.startUpProblems().join(QString()).contains(QStringLiteral("No space left on device")),
                 qPrintable(form.startUpProblems().join(QString())));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
