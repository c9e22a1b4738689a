// Print Chart on a real CUPS queue. Run by e2e_print_cups.sh, which starts a private cupsd whose default
// printer is a cups-pdf queue writing into $QEL_CUPS_OUT: Yes to the question must give one landscape
// page holding the chart, red trace on white, as pdftoppm renders it. (The title's size and place in print:
// tst_chart_output.)
#include "ChartPixels.h"
#include "chart/Chart.h"
#include "chart/ChartLayout.h"
#include "chart/PrintFlow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <optional>

using namespace chartpixels;

namespace {

// Runs a command; its standard output, or nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return std::nullopt;
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The longest unbroken horizontal run of bright red pixels in an area: the trace, not the dotted grid.
int longestRun(const QImage& image, QRect area) {
    area &= image.rect();
    int longest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(), run = 0; x <= area.right(); ++x)
            longest = std::max(longest, run = brightRed(image.pixel(x, y)) ? run + 1 : 0);
    return longest;
}

} // namespace

class PrintCupsTest : public QObject {
    Q_OBJECT

private slots:
    void yesPrintsOneLandscapePageWithTheChart() {
        const QString out = qEnvironmentVariable("QEL_CUPS_OUT");
        if (out.isEmpty())
            QSKIP("run by e2e_print_cups.sh, which starts its own cupsd and cups-pdf queue");
        QVERIFY2(!QPrinterInfo::defaultPrinter().isNull(), "the test's cupsd offers no default printer");

        // +12 arcseconds on the sweep's first half, -12 on its second: the trace crosses the plot's upper
        // left and lower right quarters only.
        chart::Chart Chart1;
        chart::DoTheChart(Chart1);
        std::vector<double> trace(1921, 12.0);
        std::fill(trace.begin() + 960, trace.end(), -12.0);
        Chart1.region(1).lineSeries(1).setData(trace);
        Chart1.draw(true);

        // The operator answers Yes; any other box (a failure) is noted and closed.
        QStringList told;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (box->button(QMessageBox::Yes)) {
                box->button(QMessageBox::Yes)->click();
            } else {
                told << box->text();
                box->close();
            }
        });
        answer.start();
        chart::printChartOnRequest(Chart1, nullptr);
        answer.stop();
        QVERIFY2(told.isEmpty(), qPrintable(told.join(QLatin1Char('\n'))));

        // The job goes through CUPS's filters, cups-pdf and Ghostscript; the file is complete when no job is
        // left in the queue.
        const QDir dir(out);
        QTRY_VERIFY_WITH_TIMEOUT(
            !dir.entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty() &&
                run(QStringLiteral("lpstat"), {QStringLiteral("-o")}).value_or(QStringLiteral("?")).isEmpty(),
            120000);
        const QStringList pdfs = dir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        QCOMPARE(pdfs.size(), 1);
        const QString pdf = dir.filePath(pdfs.first());

        const QString info = run(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("^Pages:\\s*1$"),
                                                  QRegularExpression::MultilineOption)),
                 qPrintable(info));

        QVERIFY(run("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf, dir.filePath("page")}).has_value());
        QImage page = QImage(dir.filePath(QStringLiteral("page.png"))).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!page.isNull());
        // Landscape on paper that is fed portrait (A4 here) comes as the picture turned a quarter to the left
        // on a portrait page, as a printer puts it on the sheet: turned back, the chart must read upright
        // (axes at the left and bottom, the trace in its quarters) across the page's long side.
        if (page.height() > page.width())
            page = page.transformed(QTransform().rotate(90));

        // On white paper: mostly white, no black.
        QVERIFY(count(page, page.rect(), nearWhite) > page.width() * page.height() * 7 / 10);
        QCOMPARE(count(page, page.rect(), nearBlack), 0);

        // The chart inside its outline, most of the page's width; the plot with the trace where the data puts
        // it.
        const QRect outline = bounds(page, page.rect(), nullptr, [](QRgb p) { return !nearWhite(p); });
        QVERIFY(outline.width() > page.width() * 7 / 10);
        page = page.copy(outline);
        const QRect plot = plotArea(page);
        QVERIFY(plot.width() > outline.width() / 2);
        const int margin = 8; // clear of the axes, their ticks, the zero line and the step in the middle
        const int halfWidth = plot.width() / 2 - 2 * margin, halfHeight = plot.height() / 2 - 2 * margin;
        const QRect upperLeft(plot.left() + margin, plot.top() + margin, halfWidth, halfHeight);
        const QRect upperRight(plot.center().x() + margin, plot.top() + margin, halfWidth, halfHeight);
        const QRect lowerRight(plot.center().x() + margin, plot.center().y() + margin, halfWidth, halfHeight);
        QVERIFY(longestRun(page, upperLeft) > upperLeft.width() * 9 / 10);
        QVERIFY(longestRun(page, lowerRight) > lowerRight.width() * 9 / 10);
        QVERIFY(longestRun(page, upperRight) < upperRight.width() / 10);
    }
};

QTEST_MAIN(PrintCupsTest)
#include "tst_print_cups.moc"
