// The analysis window: analyzes off the UI thread, fills the figures, takes a given period, reports failures
// in words, exports the folded curve, follows a record file being written, night and day colours.
#include "SimulatedRecord.h"
#include "analysis/AnalysisWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <QImage>

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

    static std::string record(double turns) {
        qelsim::SimulatedRun sim;
        sim.model.driftSpread = 0.2;
        sim.seconds = turns * 480.0;
        sim.start = {2026, 12, 7, 21, 0, 0, 0};
        std::string text;
        qelsim::appendSimulatedRun(text, sim);
        return text;
    }

private slots:
    void initTestCase() {
        m_record = m_dir.filePath(QStringLiteral("record.txt"));
        std::ofstream(m_record.toStdString(), std::ios::binary) << record(4.0);
    }

    void analyzesAndShowsTheFigures() {
        AnalysisWindow w;
        w.show();
        QVERIFY(run(w, m_record));
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Worm period"));
        const double period = cell(w, 0, 1).section(QLatin1Char(' '), 0, 0).toDouble();
        QVERIFY2(std::abs(period - 480.0) < 2.4, qPrintable(cell(w, 0, 1)));
        QVERIFY2(cell(w, 0, 1).contains(QStringLiteral(" s \u00b1 ")), qPrintable(cell(w, 0, 1)));
        // Long figures wrap rather than being cut: "Period from" takes more than one line.
        auto* table = w.findChild<QTableWidget*>(QStringLiteral("figuresTable"));
        QCOMPARE(cell(w, 1, 0), QStringLiteral("Period from"));
        QVERIFY(table->wordWrap());
        QVERIFY2(table->rowHeight(1) > table->rowHeight(0) * 3 / 2,
                 qPrintable(QStringLiteral("%1 %2").arg(table->rowHeight(1)).arg(table->rowHeight(0))));

        // The folded curve's CSV, as foldedCsv writes it (its columns: test_analysis).
        QVERIFY(w.exportCsv(m_dir.filePath(QStringLiteral("folded.csv"))).isEmpty());
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("folded.csv"))));
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

    void nightColoursUnlessTheOperatorChoosesDay() {
        AnalysisWindow w;
        auto* night = w.findChild<QCheckBox*>(QStringLiteral("nightColours"));
        QVERIFY(night->isChecked());
        QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(w.palette().color(QPalette::WindowText), QColor(Qt::red));
        night->setChecked(false);
        QCOMPARE(w.colourScheme(), analysis::ColourScheme::Day);
        QVERIFY(w.palette().color(QPalette::Window) != QColor(Qt::black));
        // The report stays on white whatever the window shows.
        night->setChecked(true);
        QVERIFY(run(w, m_record));
        const QString png = m_dir.filePath(QStringLiteral("night-report.png"));
        QVERIFY(w.saveReport(png).isEmpty());
        QCOMPARE(QImage(png).pixelColor(5, 5), QColor(Qt::white));
    }

    void followsTheRecordFileBeingWritten() {
        // The recorder has written a turn and a half of 4.25; the rest comes in pieces while the window
        // follows.
        const std::string text = record(4.25);
        const QString path = m_dir.filePath(QStringLiteral("live.txt"));
        const std::size_t first = text.size() * 3 / 8 + 17; // within a line
        std::ofstream(path.toStdString(), std::ios::binary) << text.substr(0, first);

        AnalysisWindow w;
        w.show();
        auto* followButton = w.findChild<QPushButton*>(QStringLiteral("followButton"));
        auto* stopButton = w.findChild<QPushButton*>(QStringLiteral("stopFollowingButton"));
        auto* status = w.findChild<QLabel*>(QStringLiteral("liveStatus"));
        w.setRecordFileBeingWritten(path, false);
        QVERIFY(!w.findChild<QWidget*>(QStringLiteral("followBar"))->isVisible());
        w.setRecordFileBeingWritten(path, true);
        QVERIFY(followButton->isVisible());
        QVERIFY2(status->text().contains(QStringLiteral("live.txt")), qPrintable(status->text()));

        QSignalSpy finished(&w, &AnalysisWindow::analysisFinished);
        followButton->click();
        QVERIFY(w.isFollowing() && finished.wait(60000));
        QVERIFY(stopButton->isVisible() && !followButton->isVisible());
        QVERIFY2(status->text().contains(QStringLiteral("1 whole turn")), qPrintable(status->text()));

        std::ofstream(path.toStdString(), std::ios::binary | std::ios::app) << text.substr(first);
        QVERIFY(w.lookNow(true) && finished.wait(60000) && finished.last().first().toBool());
        QVERIFY2(status->text().contains(QStringLiteral("4 whole turns, worm period 4")) &&
                     status->text().contains(QStringLiteral(" s \u00b1 ")),
                 qPrintable(status->text()));

        // That the last look shows what an analysis of the finished file shows: test_record_follower.
        w.stopFollowing();
        QVERIFY(!w.isFollowing() && !stopButton->isVisible());
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
