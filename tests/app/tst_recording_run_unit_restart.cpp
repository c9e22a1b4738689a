// The simulated QEL unit's process (tools/qel-unit-sim) killed mid-run and started again on the same COM1
// link, under another device node: the window tries again until it opens, and every reading the unit sent
// while the link was up is in the record file, in order, once; PID control ticks again.
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/WindowFixture.h"
#include "support/PtyPair.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <list>

#ifndef QEL_UNIT_SIM_PATH
#error "QEL_UNIT_SIM_PATH names the qel-unit-sim program"
#endif

namespace {

const QString kRecordFile = QStringLiteral("QEL_TE_Recorder1.txt");

// The decimal codes of a file: one per line ("126"), or the second field of record lines ("7E:126: ...").
QList<int> codesIn(const QList<QByteArray>& lines, bool recordLines) {
    QList<int> codes;
    for (const QByteArray& line : lines)
        codes.append((recordLines ? line.split(':').value(1) : line).trimmed().toInt());
    return codes;
}

} // namespace

class TestUnitRestart : public QObject {
    Q_OBJECT

    WindowFixture m_w;
    std::list<QProcess> m_units;

    // Starts the unit on COM1 of the working directory: `count` readings at 960 a second from `seed`, each
    // code written to `codesFile`, then it holds the line. Returns the device it made, empty on failure.
    QString startUnit(int count, int seed, const QString& codesFile) {
        QProcess& unit = m_units.emplace_back();
        unit.start(
            QStringLiteral(QEL_UNIT_SIM_PATH),
            QStringLiteral("--port 1 --rate 960 --hold --count %1 --seed %2").arg(count).arg(seed).split(' ')
                << QStringLiteral("--dir") << m_w.dir.path() << QStringLiteral("--codes-out")
                << m_w.dir.filePath(codesFile));
        QByteArray out; // read while the window's event loop runs
        const QByteArray ready = "qel-unit-sim: COM1 -> ";
        (void)QTest::qWaitFor(
            [&] {
                return (out += unit.readAllStandardOutput()).contains('\n') ||
                       unit.state() == QProcess::NotRunning;
            },
            10000);
        if (!out.startsWith(ready)) {
            qWarning() << "qel-unit-sim did not start:" << out << unit.readAllStandardError();
            return {};
        }
        return QString::fromLocal8Bit(out.mid(ready.size()).trimmed());
    }

    QString told() { return m_w.form->messages().shown(QStringLiteral("serial")); }
    QTimer* timer1() { return m_w.form->guideLoop().Timer1(); }
    bool green() { return m_w.find<widgets::IndicatorSquare>("Label3")->isGreen(); }

private slots:
    void init() {
        QVERIFY(m_w.enter());
        m_w.makeForm();
        m_w.form->startUp();
    }

    void cleanup() {
        m_w.leave();
        for (QProcess& unit : m_units) { // SIGTERM: the unit removes its link
            unit.terminate();
            if (!unit.waitForFinished(5000))
                unit.kill();
            unit.waitForFinished();
        }
        m_units.clear();
    }

    void unitKilledAndStartedAgainUnderAnotherNode() {
        m_w.find<QCheckBox>("Check5")->setChecked(true);
        m_w.find<widgets::OneRowList>("List4")->setSelectedIndex(0); // "1 Hz"
        const QString first = startUnit(300, 1, QStringLiteral("codes1.txt"));
        QVERIFY(!first.isEmpty());
        m_w.find<QPushButton>("Command1")->click();
        QVERIFY(green());
        QVERIFY(timer1()->isActive());
        const qsizetype logLines = m_w.logLines().size();
        QTRY_COMPARE_WITH_TIMEOUT(m_w.lines(kRecordFile).size(), 300, 10000);

        // Killed (SIGTERM): the unit's line goes, and so does its COM1 link. (A dangling link whose device
        // node is gone: tst_recording_run; a node number freed here may be taken by any process at once, so
        // this test leaves no link pointing at one.)
        m_units.front().terminate();
        QVERIFY(m_units.front().waitForFinished());
        QTRY_VERIFY(told().contains(QStringLiteral("was lost")));
        QVERIFY(!timer1()->isActive());
        // The node is free once the window has let go of it: hold it, so that the unit comes back under
        // another.
        std::list<testsupport::PtyPair> held;
        for (int i = 0; i < 16 && (held.empty() || held.back().slavePath() != first.toStdString()); ++i)
            held.emplace_back();
        const QString notBack = m_w.dir.filePath(QStringLiteral("COM1")) + QStringLiteral(" is not there");
        QTRY_VERIFY_WITH_TIMEOUT(m_w.form->messages().shownDetail(QStringLiteral("serial")).contains(notBack),
                                 5000);
        QVERIFY(m_w.form->recordingRun().isRestoringLink());

        const QString second = startUnit(200, 2, QStringLiteral("codes2.txt"));
        QVERIFY(!second.isEmpty());
        QVERIFY2(second != first, qPrintable(second));

        QTRY_VERIFY_WITH_TIMEOUT(green(), 5000);
        QVERIFY(timer1()->isActive());
        QVERIFY2(told().contains(QStringLiteral("(COM1 \u2192 %1) is back since").arg(second)),
                 qPrintable(told()));
        QVERIFY(m_w.find<widgets::IndicatorSquare>("Label3")->toolTip().startsWith(second));
        QTRY_COMPARE_WITH_TIMEOUT(m_w.lines(kRecordFile).size(), 500, 10000);

        const QList<int> sent = codesIn(m_w.lines(QStringLiteral("codes1.txt")), false) +
                                codesIn(m_w.lines(QStringLiteral("codes2.txt")), false);
        QCOMPARE(codesIn(m_w.lines(kRecordFile), true), sent);
        QCOMPARE(m_w.logLines().size(), logLines);
        m_w.find<QPushButton>("Command2")->click();
        QVERIFY(!timer1()->isActive());
    }
};

QTEST_MAIN(TestUnitRestart)
#include "tst_recording_run_unit_restart.moc"
