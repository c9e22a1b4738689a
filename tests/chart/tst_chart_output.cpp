// Chart1's outputs: printing (to PDF through the printer path, text in proportion at any resolution, no
// printer), the print question, and saving images.
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
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <vector>

using namespace chartpixels;

namespace {

// A realistic sweep: +-4 arcseconds with a harmonic, in 1/8 arcsecond steps.
std::vector<double> sineTrace(std::size_t n) {
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * static_cast<double>(i) / 480.0;
        values[i] = std::round((4.0 * std::sin(t) + 1.0 * std::sin(2.0 * t)) * 8.0) / 8.0;
    }
    return values;
}

void buildLiveChart(chart::Chart& Chart1) {
    chart::DoTheChart(Chart1);
    Chart1.region(1).lineSeries(1).setData(sineTrace(1921));
    Chart1.textBox(2).setText(QStringLiteral("TE: 0.012 ±5.660 arcsecond, 95% PI, 1.001 arcsecond RMS"));
    Chart1.draw(false);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Paints the print output into an image of `scale` times the chart's size at `dpi` (96 x scale by default).
QImage printedImage(chart::Chart& Chart1, int scale, double dpi = 0.0) {
    QImage image(chart::chartWidth * scale, chart::chartHeight * scale, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(std::lround((dpi > 0.0 ? dpi : 96.0 * scale) / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    if (!Chart1.paintForPrint(image, QRectF(image.rect())))
        return {};
    return image;
}

} // namespace

class ChartOutputTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void printsToPdfThroughThePrinterPath();
    void printedTextKeepsItsProportionsAtAnyResolution();
    void printingLeavesTheScreenAsItWas();
    void noDefaultPrinterIsReported();
    void printerThatCannotStartIsReported();
    void printQuestion();
    void printQuestionAnswers_data();
    void printQuestionAnswers();
    void savesImages_data();
    void savesImages();
    void saveFailureNamesFileAndReason();
    void contextMenuSavesImage_data();
    void contextMenuSavesImage();

private:
    QTemporaryDir m_dir;
};

void ChartOutputTest::init() {
    QVERIFY(m_dir.isValid());
}

void ChartOutputTest::printsToPdfThroughThePrinterPath() {
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const QString path = m_dir.filePath(QStringLiteral("chart.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);

    const chart::OutputResult result = Chart1.printTo(printer);
    QVERIFY2(result.ok, qPrintable(result.message));
    const QByteArray pdf = readAll(path);
    QVERIFY(pdf.size() > 2000);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    // One landscape page; the texts went out as text in the chart's font.
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])"))
            .match(QString::fromLatin1(pdf));
    QVERIFY(box.hasMatch());
    QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
    QVERIFY(pdf.contains("LiberationSans"));
}

void ChartOutputTest::printedTextKeepsItsProportionsAtAnyResolution() {
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const QImage single = printedImage(Chart1, 1);
    const QImage twice = printedImage(Chart1, 2);
    QVERIFY(!single.isNull() && !twice.isNull());

    // The title, red on white paper, is twice as wide and as high at twice the size and resolution. (The
    // areas leave out the chart's dark red outline on the outermost pixels.)
    const QRect title1 = redBounds(single, QRect(250, 3, 400, 25));
    const QRect title2 = redBounds(twice, QRect(500, 6, 800, 50));
    QVERIFY(title1.width() > 150 && title1.width() < 350);
    QVERIFY2(std::abs(title2.width() - 2 * title1.width()) <= title1.width() / 10,
             qPrintable(QStringLiteral("%1 vs %2").arg(title2.width()).arg(title1.width())));
    QVERIFY(std::abs(title2.height() - 2 * title1.height()) <= 4);
    // A printer's 1200 dpi changes nothing by itself: the same target size gives the same title.
    const QImage fine = printedImage(Chart1, 1, 1200.0);
    const QRect titleFine = redBounds(fine, QRect(250, 3, 400, 25));
    QVERIFY2(std::abs(titleFine.width() - title1.width()) <= 2,
             qPrintable(QStringLiteral("%1 vs %2").arg(titleFine.width()).arg(title1.width())));

    // Paper colours: white background, red trace and texts.
    QVERIFY(nearWhite(single.pixel(3, 150)));
    QVERIFY(count(single, QRect(0, 0, single.width(), single.height()), nearWhite) >
            single.width() * single.height() * 8 / 10);
    QVERIFY(count(single, QRect(100, 40, 700, 200), brightRed) > 500);
    QCOMPARE(count(single, single.rect(), nearBlack), 0);
}

void ChartOutputTest::printingLeavesTheScreenAsItWas() {
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const QImage before = Chart1.toImage();
    QVERIFY(!printedImage(Chart1, 1).isNull());
    QCOMPARE(Chart1.toImage(), before);
    QVERIFY(nearBlack(before.pixel(3, 150)));
}

void ChartOutputTest::noDefaultPrinterIsReported() {
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const chart::OutputResult result = Chart1.print(QPrinterInfo());
    QVERIFY(!result.ok);
    QVERIFY(result.message.startsWith(
        QStringLiteral("There is no default printer, so the chart was not printed.")));
    QVERIFY(result.message.contains(QStringLiteral("Print Chart")));
}

void ChartOutputTest::printerThatCannotStartIsReported() {
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const QString path = m_dir.filePath(QStringLiteral("missing/chart.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    const chart::OutputResult result = Chart1.printTo(printer);
    QVERIFY(!result.ok);
    QVERIFY2(result.message.contains(QStringLiteral("missing/chart.pdf")), qPrintable(result.message));
    QVERIFY(!QFile::exists(path));
}

void ChartOutputTest::printQuestion() {
    const auto box = chart::makePrintQuestion(nullptr);
    QCOMPARE(box->text(), QStringLiteral("Send current chart to the default printer?"));
    QCOMPARE(box->windowTitle(), QStringLiteral("QEL TE Recorder"));
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
}

void ChartOutputTest::printQuestionAnswers_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("print");
    QTest::newRow("Enter takes the default, Yes") << int(Qt::Key_Return) << true;
    QTest::newRow("Escape closes the box: No") << int(Qt::Key_Escape) << false;
    QTest::newRow("N answers No") << int(Qt::Key_N) << false;
}

void ChartOutputTest::printQuestionAnswers() {
    QFETCH(int, key);
    QFETCH(bool, print);
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        if (key == Qt::Key_N) {
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        } else {
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        }
        answered = true;
    });
    QCOMPARE(chart::askToPrint(nullptr), print);
    QVERIFY(answered);
}

void ChartOutputTest::savesImages_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::newRow("png") << "chart.png"
                         << "chart.png";
    QTest::newRow("pdf") << "chart.pdf"
                         << "chart.pdf";
    QTest::newRow("no suffix gets .png") << "chart"
                                         << "chart.png";
}

void ChartOutputTest::savesImages() {
    QFETCH(QString, name);
    QFETCH(QString, written);
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const chart::OutputResult result = Chart1.saveImage(m_dir.filePath(name));
    QVERIFY2(result.ok, qPrintable(result.message));
    const QString path = m_dir.filePath(written);
    if (written.endsWith(QStringLiteral(".pdf"))) {
        QVERIFY(readAll(path).startsWith("%PDF-"));
        return;
    }
    // PNG: the chart as on screen, red on black, at its own size.
    const QImage image(path);
    QCOMPARE(image.size(), QSize(chart::chartWidth, chart::chartHeight));
    QVERIFY(nearBlack(image.pixel(3, 150)));
    QVERIFY(count(image, interior(plotArea(image)), brightRed) > 500);
}

void ChartOutputTest::saveFailureNamesFileAndReason() {
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    const QString path = m_dir.filePath(QStringLiteral("missing/chart.png"));
    const chart::OutputResult result = Chart1.saveImage(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.message.contains(path), qPrintable(result.message));
    QVERIFY2(result.message.contains(QStringLiteral("No such file or directory")),
             qPrintable(result.message));
}

void ChartOutputTest::contextMenuSavesImage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem"); // empty: saved
    QTest::newRow("saved") << "menu.png"
                           << "";
    QTest::newRow("failure shown") << "missing/menu.png"
                                   << "No such file or directory";
}

// Right click, "Save Image…", a file name in the dialog: the file is written, or a warning names the problem.
void ChartOutputTest::contextMenuSavesImage() {
    QFETCH(QString, name);
    QFETCH(QString, problem);
    const QString path = m_dir.filePath(name);
    chart::Chart Chart1;
    buildLiveChart(Chart1);
    Chart1.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Chart1));

    auto* plot = Chart1.findChild<QWidget*>(QStringLiteral("Chart1Plot"));
    QVERIFY(plot);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(200, 100), plot->mapToGlobal(QPoint(200, 100)));
    QApplication::sendEvent(plot, &click);
    auto* menu = Chart1.findChild<QMenu*>();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Save Image…"));

    QString warning;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(path);
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

    if (problem.isEmpty()) {
        QVERIFY2(warning.isEmpty(), qPrintable(warning));
        QCOMPARE(QImage(path).size(), QSize(chart::chartWidth, chart::chartHeight));
    } else {
        QVERIFY2(warning.contains(path) && warning.contains(problem), qPrintable(warning));
    }
}

QTEST_MAIN(ChartOutputTest)
#include "tst_chart_output.moc"
