// The main window: its controls where the operator expects them, its start-up trail, and what a settings file
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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using widgets::IndicatorSquare;
using widgets::OneRowList;

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyControlIsWhereTheOperatorExpectsIt_data();
    void everyControlIsWhereTheOperatorExpectsIt();
    void initialStates();
    void startUpWritesItsLinesInOrder();
    void startUpWithASettingsFileLogsTheLoad();
    void startUpWithABadSettingsFileAppliesFactorySettingsAndSaysWhy();
    void greyedCheckBoxFromALoadTogglesOnlyClearAndChecked();
    void eventLogThatCannotBeWrittenIsTold();
    void clockShowsTheTimeRightAfterStartUp();

private:
    WindowFixture m_w;
    template <typename T>
    T* find(const char* name) {
        return m_w.find<T>(name);
    }
};

void TestForm1::init() {
    QVERIFY(m_w.enter());
    m_w.makeForm();
}

void TestForm1::cleanup() {
    m_w.leave();
}

void TestForm1::everyControlIsWhereTheOperatorExpectsIt_data() {
    // Positions in pixels of the client area (window controls) or of the frame (frame controls).
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("parentName");
    QTest::newRow("Check1") << "Check1" << QRect(40, 48, 185, 17) << "client";
    QTest::newRow("Command1") << "Command1" << QRect(40, 176, 73, 20) << "client";
    QTest::newRow("Text1") << "Text1" << QRect(256, 160, 649, 161) << "client";
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 0, 905, 633) << "client";
    QTest::newRow("Check4") << "Check4" << QRect(32, 32, 201, 17) << "Frame1";
    QTest::newRow("List1") << "List1" << QRect(240, 32, 121, 20) << "Frame1";
    QTest::newRow("Label4") << "Label4" << QRect(250, 144, 553, 14) << "Frame1";
    QTest::newRow("Label17") << "Label17" << QRect(632, 4, 257, 21) << "Frame1";
    QTest::newRow("Text3") << "Text3" << QRect(592, 112, 305, 20) << "Frame1";
    QTest::newRow("Chart1") << "Chart1" << QRect(8, 328, 889, 297) << "Frame1";
}

void TestForm1::everyControlIsWhereTheOperatorExpectsIt() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, parentName);
    auto* w = m_w.form->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->parentWidget()->objectName(), parentName);
}

void TestForm1::initialStates() {
    QCOMPARE(m_w.form->windowTitle(), QStringLiteral("QEL TE Recorder"));
    QCOMPARE(find<QWidget>("Frame1")->property("title").toString(),
             QStringLiteral("QEL Tracking Error Recorder Ver. 1.0.6"));
    QCOMPARE(m_w.form->centralWidget()->size(), QSize(921, 640));
    QVERIFY(!(m_w.form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_w.form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(m_w.form->minimumSize(), m_w.form->maximumSize());
    QVERIFY(QFile::exists(QStringLiteral(":/icons/qel-te-recorder-32.png"))); // window and About box icon

    QVERIFY(find<QCheckBox>("Check4")->isChecked());
    for (const char* name : {"Check1", "Check2", "Check3", "Check5"})
        QVERIFY2(!find<QCheckBox>(name)->isChecked(), name);
    QVERIFY(!find<QCheckBox>("Check3")->isEnabled());
    QVERIFY(!find<QCheckBox>("Check5")->isEnabled());
    QVERIFY(find<QPushButton>("Command1")->isEnabled());
    QVERIFY(!find<QPushButton>("Command2")->isEnabled());
    QVERIFY(find<QPushButton>("Command3")->isHidden());
    QVERIFY(find<QWidget>("Chart1")->isHidden());
    QCOMPARE(find<QLineEdit>("Text3")->text(), QStringLiteral("QEL_TE_Recorder1.txt"));
    QVERIFY(!find<IndicatorSquare>("Label13")->isGreen());
    QVERIFY(!find<IndicatorSquare>("Label3")->isGreen());
    QCOMPARE(find<QLabel>("Label16")->palette().color(QPalette::WindowText), QColor(192, 64, 0));
    QCOMPARE(find<QLabel>("Label1")->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    QCOMPARE(find<QWidget>("client")->palette().color(QPalette::Window), QColor(0, 0, 0));

    const struct {
        const char* name;
        int count;
        bool enabled;
        const char* first;
        const char* last;
    } lists[] = {
        {"List1", 8, true, "1", "8"},
        {"List2", 5, false, "120", "1920"},
        {"List3", 4, true, "2.2", "2.5 (5 Hz nom.)"},
        {"List4", 3, false, "1 Hz", "5 Hz"},
        {"List5", 20, false, "0.1", "3.0"},
        {"List6", 11, false, "0.0", "1.0"},
        {"List7", 11, false, "0.0", "1.0"},
        {"List8", 9, false, "0.2", "1.0"},
    };
    for (const auto& l : lists) {
        auto* list = find<OneRowList>(l.name);
        QCOMPARE(list->count(), l.count);
        QCOMPARE(list->isEnabled(), l.enabled);
        QCOMPARE(list->items().first(), QString::fromLatin1(l.first));
        QCOMPARE(list->items().last(), QString::fromLatin1(l.last));
    }
    QCOMPARE(find<OneRowList>("List3")->items().at(1), QStringLiteral("2.4 "));
    QCOMPARE(find<OneRowList>("List5")->items().at(10), QStringLiteral("1.2"));
}

void TestForm1::startUpWritesItsLinesInOrder() {
    m_w.form->startUp();
    // A first start without settings: nothing was loaded, so there is no load line. Every line ends in CR LF.
    const QList<QByteArray> expected{"2013-Jan-05 21:14:07.42 QEL Log File Startup\r",
                                     "2013-Jan-05 21:14:07.42 Chart Initialized\r"};
    QCOMPARE(m_w.logLines(), expected);
    QVERIFY(find<OneRowList>("List2")->isEnabled());
}

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

} // namespace

void TestForm1::startUpWithASettingsFileLogsTheLoad() {
    writeSettings(m_w.dir.path(), kSettings);
    m_w.form->startUp();
    const auto lines = m_w.logLines();
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(" QEL Log File Startup\r"));
    QVERIFY(lines.at(1).endsWith(" Load Settings Complete\r"));
    QVERIFY(lines.at(2).endsWith(" Chart Initialized\r"));
    QVERIFY(m_w.form->startUpProblems().isEmpty());
    QCOMPARE(find<OneRowList>("List1")->selectedText(), QStringLiteral("3"));
    QCOMPARE(find<QLineEdit>("Text3")->text(), QStringLiteral("run.txt"));
    // The 5 Hz unit was loaded: start-up enables high-speed recording and PID control.
    QVERIFY(find<QCheckBox>("Check3")->isEnabled());
    QVERIFY(find<QCheckBox>("Check5")->isEnabled());
    QVERIFY(find<IndicatorSquare>("Label13")->isGreen());
}

void TestForm1::startUpWithABadSettingsFileAppliesFactorySettingsAndSaysWhy() {
    QByteArray bad = kSettings;
    bad.replace("GuideRate= 0", "GuideRate= 9"); // List8 has 9 items: position 9 does not exist
    writeSettings(m_w.dir.path(), bad);
    m_w.form->startUp();
    const auto lines = m_w.logLines();
    QCOMPARE(lines.size(), 2); // no " Load Settings Complete" for a load that failed
    QVERIFY(lines.at(1).endsWith(" Chart Initialized\r"));
    QCOMPARE(m_w.form->startUpProblems().size(), 1);
    const QString told = m_w.form->startUpProblems().first();
    QVERIFY2(told.contains(QStringLiteral("QEL_TE_Recorder.ini")) &&
                 told.contains(QStringLiteral("line 16")) &&
                 told.contains(QStringLiteral("factory settings are in use")),
             qPrintable(told));
    // The factory settings, as on a first start: every list has a selection, so Start has a port.
    QCOMPARE(find<OneRowList>("List1")->selectedText(), QStringLiteral("1"));
    QCOMPARE(find<OneRowList>("List2")->selectedText(), QStringLiteral("120"));
    QCOMPARE(find<OneRowList>("List8")->selectedIndex(), 0);
    QCOMPARE(find<QLineEdit>("Text3")->text(), QStringLiteral("QEL_TE_Recorder1.txt"));
    QVERIFY(!find<IndicatorSquare>("Label13")->isGreen());
    // Saving now writes positions the next start reads back.
    m_w.form->SaveSettings_Click();
    QFile saved(m_w.dir.filePath(QStringLiteral("QEL_TE_Recorder.ini")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray contents = saved.readAll();
    QVERIFY2(contents.contains("CommPort= 0\r\n") && !contents.contains("-1"), contents.constData());
}

void TestForm1::greyedCheckBoxFromALoadTogglesOnlyClearAndChecked() {
    QByteArray greyed = kSettings;
    greyed.replace("RecordToFile= 1", "RecordToFile= 2");
    writeSettings(m_w.dir.path(), greyed);
    m_w.form->startUp();
    auto* check4 = find<QCheckBox>("Check4");
    QCOMPARE(check4->checkState(), Qt::PartiallyChecked); // only a load sets it
    QList<Qt::CheckState> seen;
    for (int click = 0; click < 4; ++click) {
        check4->click();
        seen << check4->checkState();
    }
    QCOMPARE(seen, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Unchecked}));
}

void TestForm1::eventLogThatCannotBeWrittenIsTold() {
    auto full = app::EventLog::open("/dev/full", m_w.clock, m_w.formatter).log;
    QVERIFY(full);
    app::Form1 form(m_w.clock, m_w.formatter, *full);
    form.startUp();
    QVERIFY2(form.startUpProblems().join(QString()).contains(QStringLiteral("No space left on device")),
             qPrintable(form.startUpProblems().join(QString())));
}

void TestForm1::clockShowsTheTimeRightAfterStartUp() {
    m_w.form->startUp();
    QCOMPARE(find<QLabel>("Label17")->text(), QStringLiteral("2013-Jan-05 21:14:07 LCT"));
    m_w.clock.set({2013, 1, 5, 21, 14, 8, 3});
    m_w.form->Timer2_Timer();
    QCOMPARE(find<QLabel>("Label17")->text(), QStringLiteral("2013-Jan-05 21:14:08 LCT"));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
