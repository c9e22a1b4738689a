// Plot contents from an Analysis; the numbers in titles and labels use Figures' locale-free formatting.
#include "analysis/AnalysisPlots.h"

#include "analysis/Figures.h"

#include <algorithm>
#include <cmath>

namespace analysis {
namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

void start(chart::SeriesPlot& plot, const PlotColours& c, bool logarithmicX) {
    plot.clear();
    plot.setLegendColumns(1);
    plot.setColours(c.background, c.foreground, c.grid);
    plot.setLogarithmicX(logarithmicX);
}

// What the spectrum shows at `period`: the highest point within a few grid steps (the peak's top).
double spectrumAt(const Spectrum& s, double period) {
    if (s.period.empty())
        return 0.0;
    const std::size_t i = nearestPoint(s, 1.0 / period);
    double top = 0.0;
    for (std::size_t k = i > 2 ? i - 2 : 0; k < std::min(i + 3, s.amplitude.size()); ++k)
        top = std::max(top, s.amplitude[k]);
    return top;
}

} // namespace

void plotSeries(chart::SeriesPlot& plot, const Analysis& a, const PlotColours& c) {
    start(plot, c, false);
    plot.setTitle(text("Drift removed (" + fixed(a.driftRate, 3) + " arcsec/min) with the fitted model"));
    plot.setAxisTitles(QStringLiteral("minutes since the first reading"), QStringLiteral("arcsec"));
    // The readings as a thin line, gaps between runs left open: thousands of dots would cost the window a
    // redraw of over 10 ms at every look while following.
    std::vector<double> readings = a.series.driftRemoved;
    for (std::size_t i = 1; i < readings.size(); ++i)
        if (a.series.minutes[i] - a.series.minutes[i - 1] > 0.5)
            readings[i - 1] = NAN;
    plot.addCurve(a.series.minutes, readings, c.readings, 0.0, QStringLiteral("readings")); // a hairline
    if (a.hasPeriod) {
        // The fit as a line within runs only: a gap between runs stays a gap.
        std::vector<double> fit = a.series.fit;
        for (std::size_t i = 1; i < fit.size(); ++i)
            if (a.series.minutes[i] - a.series.minutes[i - 1] > 0.5)
                fit[i - 1] = NAN;
        plot.addCurve(a.series.minutes, fit, c.fit, 1.5, QStringLiteral("fit"));
    }
    plot.rescale();
}

void plotSpectrum(chart::SeriesPlot& plot, const Analysis& a, const PlotColours& c) {
    start(plot, c, true);
    plot.setTitle(text("Spectrum: " + std::to_string(a.components.size()) +
                       (a.components.size() == 1 ? " component stands" : " components stand") +
                       " clear of the noise (S/N \u2265 " + fixed(a.minSignalToNoise, 0) + ")"));
    plot.setAxisTitles(QStringLiteral("period (s)"), QStringLiteral("amplitude (arcsec)"));
    plot.addCurve(a.series.spectrum.period, a.series.spectrum.amplitude, c.spectrum, 1.2,
                  QStringLiteral("readings"));
    plot.addCurve(a.series.residualSpectrum.period, a.series.residualSpectrum.amplitude, c.residual, 1.0,
                  QStringLiteral("left by the fit"));
    plot.addCurve(a.series.residualSpectrum.period, a.series.threshold, c.threshold, 1.0,
                  text("S/N " + fixed(a.minSignalToNoise, 0)));
    for (const ComponentFigure& f : a.components) {
        const std::string name =
            f.wormHarmonic > 1 ? "\u00d7" + std::to_string(f.wormHarmonic) : fixed(f.period, 1) + " s";
        plot.addLabel(f.period, std::max(f.amplitude, spectrumAt(a.series.spectrum, f.period)), text(name),
                      c.label);
    }
    plot.rescale();
}

void plotFolded(chart::SeriesPlot& plot, const Analysis& a, const PlotColours& c) {
    start(plot, c, false);
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
    // Each turn in its own colour; named in the legend while the colours do not repeat.
    const std::size_t turns = a.series.cycles.size();
    for (std::size_t i = 0; i < turns; ++i) {
        QString name;
        if (turns <= c.turns.size())
            name = QStringLiteral("turn %1").arg(i + 1);
        else if (i == 0)
            name = QStringLiteral("each turn");
        plot.addCurve(phase, a.series.cycles[i].mean, c.turns[i % c.turns.size()], 1.0, name);
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
    plot.addBand(x, lo, hi, c.band, QStringLiteral("spread (1 sd)"));
    plot.addCurve(x, mean, c.fit, 2.0, QStringLiteral("mean"));
    plot.setLegendColumns(turns > 2 ? 5 : 1);
    plot.rescale();
    plot.setXRange(0.0, a.period);
}

} // namespace analysis
