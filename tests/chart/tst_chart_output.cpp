// Chart1's outputs: printing (to PDF through the printer path, text in proportion at any resolution, no
// printer), the print question, and saving images from the context menu.
#include "chart/Chart.h"
#include "chart/ChartLayout.h"
#include "chart/PrintFlow.h"

#include "chart/ChartPixels.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <vector>

using namespace chartpixels;

namespace {

// A realistic sweep, +-4 arcseconds with a harmonic in 1/8 arcsecond steps, and a statistics text.
void buildLiveChart(chart::Chart& Chart1) {
    chart::DoTheChart(Chart1);
    std::vector<double> values(1921);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double t = 2.0 * M_PI * static_cast<double>(i) / 480.0;
        values[i] = std::round((4.0 * std::sin(t) + 1.0 * std::sin(2.0 * t)) * 8.0) / 8.0;
    }
    Chart1.region(1).lineSeries(1).setData(values);
    Chart1.textBox(2).setText(QStringLiteral("TE: 0.012 ±5.660 arcsecond, 95% PI, 1.001 arcsecond RMS"));
    Chart1.draw(false);
}

// Paints the print output into an image of `scale` times the chart's size at `dpi`.
QImage printedImage(chart::Chart& Chart1, int scale, double dpi) {
    QImage image(chart::chartWidth * scale, chart::chartHeight * scale, QImage::Format_ARGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    return Chart1.paintForPrint(image, QRectF(image.rect())) ? image : QImage();
}

} // namespace

class ChartOutputTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Right click, "Save Image…", a file name in the dialog: the file is written, or a warning says why not.
    void saveThroughTheMenu(const QString& name, const QString& written) {
        chart::Chart Chart1;
        buildLiveChart(Chart1);
        Chart1.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Chart1));

        auto* plot = Chart1.findChild<QWidget*>(QStringLiteral("Chart1Plot"));
        QVERIFY(plot);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(200, 100),
                                plot->mapToGlobal(QPoint(200, 100)));
        QApplication::sendEvent(plot, &click);
        auto* menu = Chart1.findChild<QMenu*>();
        QVERIFY(menu && menu->actions().size() == 1);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("Save Image…"));

        QString warning;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(m_dir.filePath(name));
            QTimer::singleShot(0, this, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    warning = box->text();
                    box->accept();
                }
            });
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept checks the name, then saves
        });
        menu->actions().first()->trigger();
        menu->close();

        const QString path = m_dir.filePath(written.isEmpty() ? name : written);
        if (written.isEmpty())
            QVERIFY2(warning.contains(path) && warning.contains(QStringLiteral("No such file or directory")),
                     qPrintable(warning));
        else
            QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32),
                     Chart1.toImage().convertToFormat(QImage::Format_RGB32));
        QVERIFY2(written.isEmpty() || warning.isEmpty(), qPrintable(warning));
    }

private slots:
    void printsToPdfThroughThePrinterPath() {
        chart::Chart Chart1;
        buildLiveChart(Chart1);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("chart.pdf")));
        const chart::OutputResult result = Chart1.printTo(printer);
        QVERIFY2(result.ok, qPrintable(result.message));
        QVERIFY(QFile::exists(printer.outputFileName()));
        QCOMPARE(printer.pageLayout().orientation(),
                 QPageLayout::Landscape); // the page itself: e2e_print_cups

        // A printer that cannot start is reported by name, not taken for printed.
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("missing/chart.pdf")));
        const chart::OutputResult failed = Chart1.printTo(printer);
        QVERIFY2(!failed.ok && failed.message.contains(QStringLiteral("missing/chart.pdf")),
                 qPrintable(failed.message));

        // Without a default printer nothing is printed and the operator is told what to do.
        const chart::OutputResult none = Chart1.print(QPrinterInfo());
        QVERIFY2(!none.ok && none.message.contains("Print Chart") &&
                     none.message.startsWith("There is no default printer, so the chart was not printed."),
                 qPrintable(none.message));
    }

    void printedTextKeepsItsProportionsAtAnyResolution() {
        chart::Chart Chart1;
        buildLiveChart(Chart1);
        const QImage screen = Chart1.toImage();
        const QImage single = printedImage(Chart1, 1, 96.0);
        const QImage twice = printedImage(Chart1, 2, 192.0);
        const QImage fine = printedImage(Chart1, 1, 1200.0);
        QVERIFY(!single.isNull() && !twice.isNull() && !fine.isNull());

        // The title, red on white paper, is twice as wide and as high at twice the size and resolution; a
        // printer's 1200 dpi alone changes nothing. (The areas leave out the chart's dark red outline.)
        const QRect title1 = bounds(single, QRect(250, 3, 400, 25));
        const QRect title2 = bounds(twice, QRect(500, 6, 800, 50));
        const QRect titleFine = bounds(fine, QRect(250, 3, 400, 25));
        const QString widths =
            QStringLiteral("%1 %2 %3").arg(title1.width()).arg(title2.width()).arg(titleFine.width());
        QVERIFY2(title1.width() > 150 && title1.width() < 350, qPrintable(widths));
        QVERIFY2(std::abs(title2.width() - 2 * title1.width()) <= title1.width() / 10, qPrintable(widths));
        QVERIFY(std::abs(title2.height() - 2 * title1.height()) <= 4);
        QVERIFY2(std::abs(titleFine.width() - title1.width()) <= 2, qPrintable(widths));

        // Printing leaves the screen's chart as it was (paper colours: e2e_print_cups).
        QCOMPARE(Chart1.toImage(), screen);
    }

    void printQuestionTakesYesOnEnter() {
        const auto box = chart::makePrintQuestion(nullptr);
        QCOMPARE(box->text(), QStringLiteral("Send current chart to the default printer?"));
        QCOMPARE(box->windowTitle(), QStringLiteral("QEL TE Recorder"));
        // Enter takes the default, Yes; Escape closes the box, which counts as No.
        for (const auto& [key, print] : {std::pair{Qt::Key_Return, true}, std::pair{Qt::Key_Escape, false}}) {
            QTimer::singleShot(0, this, [key] { QTest::keyClick(QApplication::activeModalWidget(), key); });
            QCOMPARE(chart::askToPrint(nullptr), print);
        }
    }

    void contextMenuSavesImage() {
        // A png as on screen, its suffix added; or a warning naming the file and the reason.
        for (const auto& [name, written] : {std::pair{QStringLiteral("menu"), QStringLiteral("menu.png")},
                                            std::pair{QStringLiteral("missing/menu.png"), QString()}})
            saveThroughTheMenu(name, written);
    }
};

QTEST_MAIN(ChartOutputTest)
#include "tst_chart_output.moc"
