// chart_preview: shows Chart1 as the recorder lays it out, with a realistic sweep (1921 samples at 1 Hz of a
// 480-second periodic error of +-4 arcseconds with 2nd and 3rd harmonics and noise, in the QEL unit's 1/8
// arcsecond steps), for screenshots and for looking at the chart without a QEL unit.
//   chart_preview [--quit-after MS] [--png FILE] [--pdf FILE] [--paper-png FILE]
// --png saves the screen look, --pdf prints to a PDF file, --paper-png paints the print output at twice the
// chart's size.
// Prints "WINID 0x..." once the window is shown, so a script can grab it (import -window ID).
#include "chart/Chart.h"
#include "chart/ChartLayout.h"

#include <QApplication>
#include <QImage>
#include <QPrinter>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

std::vector<double> periodicError(std::size_t n) {
    std::mt19937 random(480);
    std::normal_distribution<double> noise(0.0, 0.35);
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * static_cast<double>(i) / 480.0;
        const double te =
            4.0 * std::sin(t) + 1.2 * std::sin(2.0 * t + 0.6) + 0.6 * std::sin(3.0 * t + 1.9) + noise(random);
        values[i] = std::clamp(std::round(te * 8.0) / 8.0, -16.0, 15.875);
    }
    return values;
}

QString fixed(double value) {
    return QString::number(value, 'f', 3);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int quitAfter = 0;
    QString png, pdf, paper;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--quit-after"))
            quitAfter = args[++i].toInt();
        else if (args[i] == QLatin1String("--png"))
            png = args[++i];
        else if (args[i] == QLatin1String("--pdf"))
            pdf = args[++i];
        else if (args[i] == QLatin1String("--paper-png"))
            paper = args[++i];
    }

    chart::Chart Chart1;
    Chart1.setObjectName(QStringLiteral("Chart1"));
    Chart1.setWindowTitle(QStringLiteral("Chart1 preview"));
    chart::DoTheChart(Chart1);

    const std::vector<double> trace = periodicError(1921);
    double sum = 0.0, squares = 0.0;
    for (const double v : trace) {
        sum += v;
        squares += v * v;
    }
    const double mean = sum / static_cast<double>(trace.size());
    const double deviation = std::sqrt(squares / static_cast<double>(trace.size()) - mean * mean);
    Chart1.textBox(1).setText(QStringLiteral("1.0 Hz, 1920 Seconds Range, 160 Seconds/Division"));
    Chart1.textBox(2).setText(QStringLiteral("TE: %1 ±%2 arcsecond, 95% PI, %3 arcsecond RMS")
                                  .arg(fixed(mean), fixed(2.0 * deviation), fixed(deviation / 2.828427125)));
    Chart1.region(1).lineSeries(1).setData(trace);
    Chart1.draw(false);
    Chart1.move(0, 0);
    Chart1.show();

    if (!png.isEmpty() || !pdf.isEmpty()) {
        for (const QString& file : {png, pdf}) {
            if (file.isEmpty())
                continue;
            chart::OutputResult result;
            if (file == pdf) {
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(file);
                result = Chart1.printTo(printer);
            } else {
                result = Chart1.saveImage(file);
            }
            if (!result.ok)
                std::fprintf(stderr, "%s\n", qPrintable(result.message));
        }
    }
    if (!paper.isEmpty()) {
        QImage image(2 * chart::chartWidth, 2 * chart::chartHeight, QImage::Format_ARGB32);
        image.fill(Qt::white);
        image.setDotsPerMeterX(2 * 3780);
        image.setDotsPerMeterY(2 * 3780);
        if (!Chart1.paintForPrint(image, QRectF(image.rect())) || !image.save(paper))
            std::fprintf(stderr, "could not write %s\n", qPrintable(paper));
    }
    QTimer::singleShot(0, &Chart1, [&Chart1] {
        std::printf("WINID 0x%llx\n", static_cast<unsigned long long>(Chart1.winId()));
        std::fflush(stdout);
    });
    if (quitAfter > 0)
        QTimer::singleShot(quitAfter, &app, &QApplication::quit);
    return app.exec();
}
