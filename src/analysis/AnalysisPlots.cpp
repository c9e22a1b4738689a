// Plot contents from an Analysis; the numbers in titles and labels use Figures' locale-free formatting.
#include "analysis/AnalysisPlots.h"

#include "analysis/Figures.h"

#include <cmath>

namespace analysis {
namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

const QColor kData(90, 90, 90);
const QColor kFit(200, 30, 30);
const QColor kCycle(60, 100, 200, 150);
const QColor kBand(240, 150, 40, 90);

} // namespace

void plotSeries(chart::SeriesPlot& plot, const Analysis& a) {
    plot.clear();
    plot.setLogarithmicX(false);
    plot.setTitle(text("Drift removed (" + fixed(a.driftRate, 3) + " arcsec/min) with the harmonic fit"));
    plot.setAxisTitles(QStringLiteral("minutes since the first reading"), QStringLiteral("arcsec"));
    plot.addScatter(a.series.minutes, a.series.driftRemoved, kData, 2.0, QStringLiteral("readings"));
    if (a.hasPeriod) {
        // The fit as a line within runs only: a gap between runs stays a gap.
        std::vector<double> fit = a.series.fit;
        for (std::size_t i = 1; i < fit.size(); ++i)
            if (a.series.minutes[i] - a.series.minutes[i - 1] > 0.5)
                fit[i - 1] = NAN;
        plot.addCurve(a.series.minutes, fit, kFit, 1.5, QStringLiteral("fit"));
    }
    plot.rescale();
}

void plotSpectrum(chart::SeriesPlot& plot, const Analysis& a) {
    plot.clear();
    plot.setTitle(QStringLiteral("Spectrum"));
    plot.setAxisTitles(QStringLiteral("period (s)"), QStringLiteral("amplitude (arcsec)"));
    plot.setLogarithmicX(true);
    plot.addCurve(a.series.spectrum.period, a.series.spectrum.amplitude, QColor(30, 80, 170), 1.2);
    for (const ComponentFigure& c : a.components)
        plot.addLabel(c.period, c.amplitude, text(fixed(c.period, 1) + " s"), QColor(30, 30, 30));
    plot.rescale();
}

void plotFolded(chart::SeriesPlot& plot, const Analysis& a) {
    plot.clear();
    plot.setLogarithmicX(false);
    if (!a.hasPeriod) {
        plot.setTitle(QStringLiteral("Folded curve: no worm period"));
        plot.rescale();
        return;
    }
    plot.setTitle(text("Folded at " + fixed(a.period, 2) + " s: peak to peak " +
                       fixed(a.foldedPeakToPeak, 2) + " arcsec" +
                       (a.periodTrusted ? "" : " (period cannot be trusted: too few cycles)")));
    plot.setAxisTitles(QStringLiteral("phase (s)"), QStringLiteral("arcsec"));
    const FoldedCurve& coarse = a.series.foldedCoarse;
    std::vector<double> phase;
    for (std::size_t b = 0; b < coarse.bins(); ++b)
        phase.push_back((static_cast<double>(b) + 0.5) / static_cast<double>(coarse.bins()) * a.period);
    bool first = true;
    for (const CycleCurve& c : a.series.cycles) {
        plot.addCurve(phase, c.mean, kCycle, 1.0, first ? QStringLiteral("each cycle") : QString());
        first = false;
    }
    const FoldedCurve& f = a.series.folded;
    std::vector<double> x, lo, hi, mean;
    for (std::size_t b = 0; b < f.bins(); ++b) {
        x.push_back((static_cast<double>(b) + 0.5) / static_cast<double>(f.bins()) * a.period);
        const bool empty = f.count[b] == 0;
        mean.push_back(empty ? NAN : f.mean[b]);
        lo.push_back(empty ? NAN : f.mean[b] - f.spread[b]);
        hi.push_back(empty ? NAN : f.mean[b] + f.spread[b]);
    }
    plot.addBand(x, lo, hi, kBand, QStringLiteral("spread (1 sd)"));
    plot.addCurve(x, mean, kFit, 2.0, QStringLiteral("mean"));
    plot.rescale();
    plot.setXRange(0.0, a.period);
}

} // namespace analysis
