// The analysis window: analyzes off the UI thread, fills the figures, takes a given period, reports failures
// in words, exports the folded curve.
#include "SimulatedRecord.h"
#include "analysis/AnalysisWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using analysis::AnalysisWindow;

class TestAnalysisWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_record;

    static QString cell(AnalysisWindow& w, int row, int column) {
        auto* table = w.findChild<QTableWidget*>(QStringLiteral("figuresTable"));
        return table && table->item(row, column) ? table->item(row, column)->text() : QString();
    }

    static bool run(AnalysisWindow& w, const QString& path) {
        QSignalSpy finished(&w, &AnalysisWindow::analysisFinished);
        w.analyze(path);
        return finished.wait(60000) && finished.first().first().toBool();
    }

private slots:
    void initTestCase() {
        qelsim::SimulatedRun sim;
        sim.model.driftSpread = 0.2;
        sim.seconds = 4 * 480.0;
        sim.start = {2026, 12, 7, 21, 0, 0, 0};
        std::string text;
        qelsim::appendSimulatedRun(text, sim);
        m_record = m_dir.filePath(QStringLiteral("record.txt"));
        std::ofstream(m_record.toStdString(), std::ios::binary) << text;
    }

    void analyzesAndShowsTheFigures() {
        AnalysisWindow w;
        w.show();
        QVERIFY(run(w, m_record));
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Worm period"));
        const double period = cell(w, 0, 1).section(QLatin1Char(' '), 0, 0).toDouble();
        QVERIFY2(std::abs(period - 480.0) < 2.4, qPrintable(cell(w, 0, 1)));

        const QString csv = m_dir.filePath(QStringLiteral("folded.csv"));
        QVERIFY(w.exportCsv(csv).isEmpty());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine().trimmed(), QByteArray("phase_s,phase_deg,mean_arcsec,spread_arcsec"));
        QVERIFY(w.saveReport(m_dir.filePath(QStringLiteral("report.png"))).isEmpty());
        QVERIFY(!w.saveReport(m_dir.filePath(QStringLiteral("no/such/folder/report.pdf"))).isEmpty());
    }

    void namesAFileItCannotReadUsesTheGivenPeriodAndRejectsNonsense() {
        AnalysisWindow w;
        auto* period = w.findChild<QLineEdit*>(QStringLiteral("periodField"));
        auto* message = w.findChild<QLabel*>(QStringLiteral("messageLabel"));
        const QString missing = m_dir.filePath(QStringLiteral("missing.txt"));
        QVERIFY(!run(w, missing));
        QVERIFY2(message->text().contains(missing), qPrintable(message->text()));
        QVERIFY(w.current() == nullptr);
        period->setText(QStringLiteral("abc"));
        w.analyze(m_record);
        QVERIFY(!w.isBusy());
        QVERIFY2(message->text().contains(QStringLiteral("not a number of seconds")),
                 qPrintable(message->text()));
        period->setText(QStringLiteral("481.5"));
        QVERIFY(run(w, m_record));
        QCOMPARE(cell(w, 0, 1), QStringLiteral("481.50 s"));
    }

    void aSecondAnalysisReplacesTheFirst() {
        AnalysisWindow w;
        QSignalSpy finished(&w, &AnalysisWindow::analysisFinished);
        w.analyze(m_dir.filePath(QStringLiteral("missing.txt")));
        w.analyze(m_record);
        QVERIFY(finished.wait(60000));
        QTest::qWait(100); // a stale result would arrive here
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
    }
};

QTEST_MAIN(TestAnalysisWindow)
#include "tst_analysis_window.moc"
