// chart_preview: shows Chart1 as the recorder lays it out with a realistic sweep (1921 samples at 1 Hz of a
// 480-second periodic error of +-4 arcseconds with harmonics and noise, in the QEL unit's 1/8 arcsecond
// steps), for screenshots and for looking at the chart without a QEL unit.
//   chart_preview [--quit-after MS] [--png FILE] [--pdf FILE]
// --png saves the screen look, --pdf prints to a PDF file. Prints "WINID 0x..." once the window is shown, so
// a script can grab it (import -window ID).
#include "acquisition/ChartTexts.h"
#include "chart/Chart.h"
#include "chart/ChartLayout.h"

#include <QApplication>
#include <QPrinter>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const char* name) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };

    chart::Chart Chart1;
    Chart1.setObjectName(QStringLiteral("Chart1"));
    chart::DoTheChart(Chart1);
    std::mt19937 random(480);
    std::normal_distribution<double> noise(0.0, 0.35);
    std::vector<double> trace(1921);
    double sum = 0.0, squares = 0.0;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const double t = 2.0 * M_PI * static_cast<double>(i) / 480.0;
        const double te =
            4.0 * std::sin(t) + 1.2 * std::sin(2.0 * t + 0.6) + 0.6 * std::sin(3.0 * t + 1.9) + noise(random);
        trace[i] = std::clamp(std::round(te * 8.0) / 8.0, -16.0, 15.875);
        sum += trace[i];
        squares += trace[i] * trace[i];
    }
    const double mean = sum / 1921.0, deviation = std::sqrt(squares / 1921.0 - mean * mean);
    Chart1.textBox(1).setText(QStringLiteral("1.0 Hz, 1920 Seconds Range, 160 Seconds/Division"));
    Chart1.textBox(2).setText(QStringLiteral("TE: %1 ±%2 arcsecond, 95% PI, %3 arcsecond RMS")
                                  .arg(mean, 0, 'f', 3)
                                  .arg(2.0 * deviation, 0, 'f', 3)
                                  .arg(deviation / acquisition::kRmsDivisor, 0, 'f', 3));
    Chart1.region(1).lineSeries(1).setData(trace);
    Chart1.draw(false);
    Chart1.move(0, 0);
    Chart1.show();

    chart::OutputResult result;
    if (const QString png = option("--png"); !png.isEmpty())
        result = Chart1.saveImage(png);
    if (const QString pdf = option("--pdf"); result.ok && !pdf.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        result = Chart1.printTo(printer);
    }
    if (!result.ok)
        std::fprintf(stderr, "%s\n", qPrintable(result.message));
    QTimer::singleShot(0, &Chart1, [&Chart1] {
        std::printf("WINID 0x%llx\n", static_cast<unsigned long long>(Chart1.winId()));
        std::fflush(stdout);
    });
    if (const int quitAfter = option("--quit-after").toInt(); quitAfter > 0)
        QTimer::singleShot(quitAfter, &app, &QApplication::quit);
    return app.exec();
}
