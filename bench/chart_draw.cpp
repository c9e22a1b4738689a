// bench_chart: the cost of one live chart update, as the live display does it for every charted reading:
// setData with the whole 1921-value sweep buffer, then a redraw. Runs offscreen unless QT_QPA_PLATFORM says
// otherwise. Prints the median, 90th percentile and maximum per update in milliseconds.
//   bench_chart [updates]      (default 1000)
#include "chart/Chart.h"
#include "chart/ChartLayout.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

double percentile(std::vector<double> samples, double p) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(std::lround(p * static_cast<double>(samples.size() - 1)));
    return samples[index];
}

// Figures are formatted without the locale (the application has set it from the environment).
QString fixed(double value) {
    return QString::number(value, 'f', 3);
}

void report(const char* what, const std::vector<double>& ms) {
    const QString line = QStringLiteral("%1 median %2 ms  p90 %3 ms  max %4 ms  (%5 runs)")
                             .arg(QString::fromLatin1(what), -44)
                             .arg(fixed(percentile(ms, 0.5)), fixed(percentile(ms, 0.9)),
                                  fixed(*std::max_element(ms.begin(), ms.end())))
                             .arg(ms.size());
    std::printf("%s\n", qPrintable(line));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int updates = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;

    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    Chart1.show();
    QApplication::processEvents();

    // A sweep in progress: each update writes the next reading, as the live display does.
    std::vector<double> buffer(1921, 0.0);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 0.4);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] =
            std::round((4.0 * std::sin(2.0 * M_PI * static_cast<double>(i) / 480.0) + noise(random)) * 8) / 8;
    chart::LineSeries& trace = Chart1.region(1).lineSeries(1);

    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    std::vector<double> full, copyOnly;
    full.reserve(static_cast<std::size_t>(updates));
    copyOnly.reserve(static_cast<std::size_t>(updates));
    for (int i = -50; i < updates; ++i) { // the first 50 warm caches and are not counted
        buffer[static_cast<std::size_t>(i + 50) % buffer.size()] += 0.125;
        const auto start = Clock::now();
        trace.setData(buffer);
        const auto copied = Clock::now();
        Chart1.draw(true); // the redraw draw(false) paces, run now
        const auto drawn = Clock::now();
        if (i >= 0) {
            copyOnly.push_back(ms(copied - start));
            full.push_back(ms(drawn - start));
        }
    }
    std::printf("platform %s, chart %dx%d, %zu points\n", qPrintable(QApplication::platformName()),
                Chart1.width(), Chart1.height(), buffer.size());
    report("setData (copy of the sweep buffer)", copyOnly);
    report("setData + draw (one live update)", full);
    return 0;
}
