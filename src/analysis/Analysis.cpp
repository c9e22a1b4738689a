// The analysis pipeline. Heavy work runs on bins of about one second (the worm's periods are minutes long);
// only drift removal, folding and the correction figures touch every reading.
#include "analysis/Analysis.h"

#include "analysis/GuideLog.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace analysis {
namespace {

// Drift polynomial per run: a line for short runs, up to a cubic for runs of three worm turns or more, which
// follows the slow wander of the mount without taking in the worm's own period.
std::vector<int> driftDegrees(const BinnedSeries& bins, double period) {
    std::vector<int> degrees;
    for (const Run& run : bins.runs) {
        const double length = run.end > run.first ? bins.seconds[run.end - 1] - bins.seconds[run.first] : 0.0;
        const int turns = period > 0.0 ? static_cast<int>(length / period) : 0;
        degrees.push_back(std::clamp(turns, 1, 3));
    }
    return degrees;
}

int usableHarmonics(double period, double binWidth, int wanted) {
    // Keep every harmonic at least four bins long.
    return std::clamp(static_cast<int>(period / (4.0 * binWidth)), 1, wanted);
}

ModelShape wormShape(double period, int harmonics) {
    ModelShape shape;
    shape.period = period;
    for (int k = 1; k <= harmonics; ++k)
        shape.orders.push_back(k);
    return shape;
}

// The start for the least-squares period: a scan of linear fits over +-1.2 resolution widths around the
// spectrum's peak in steps of a fifth of one (the peak's interpolated top lies well within), which places it
// in the right valley of the residual; Gauss-Newton finishes from there.
double scanPeriod(const BinnedSeries& bins, double start, double span, int harmonics, double origin) {
    const std::vector<int> degrees = driftDegrees(bins, start);
    const auto cost = [&](double p) {
        const ModelFit f = fitModel(bins, wormShape(p, harmonics), degrees, origin);
        return f.ok ? f.residualSquares : INFINITY;
    };
    const double width = start * start / std::max(span, start);
    const double lo = std::max(start - 1.2 * width, 0.8 * start);
    const double hi = std::min(start + 1.2 * width, 1.25 * start);
    constexpr int kSteps = 12;
    double best = start;
    double bestCost = cost(start);
    for (int i = 0; i <= kSteps; ++i) {
        const double p = lo + (hi - lo) * i / kSteps;
        const double c = cost(p);
        if (c < bestCost) {
            best = p;
            bestCost = c;
        }
    }
    return best;
}

// Largest power of two not above `most` that leaves about `perBin` readings in each bin; at least 8.
std::size_t binsFor(double readings, double perBin, std::size_t most) {
    std::size_t bins = 8;
    while (bins * 2 <= most && readings / static_cast<double>(bins * 2) >= perBin)
        bins *= 2;
    return bins;
}

// The RMS about the mean of `removed` less all the fit's worm harmonics, and less only the strongest 1, 2, 3.
void correctionFigures(Analysis& a, const Recording& rec, const std::vector<double>& removed,
                       const ModelFit& fit) {
    std::vector<const Term*> worm;
    for (const Term& t : fit.terms)
        if (t.order > 0)
            worm.push_back(&t);
    if (worm.empty() || fit.period <= 0.0)
        return;
    std::sort(worm.begin(), worm.end(),
              [](const Term* x, const Term* y) { return x->amplitude() > y->amplitude(); });
    const std::size_t variants = std::min<std::size_t>(3, worm.size());
    int highest = 0;
    for (const Term* t : worm)
        highest = std::max(highest, t->order);
    std::vector<double> sum(variants + 1, 0.0), squares(variants + 1, 0.0), c(highest + 1), s(highest + 1);
    const double w = 2.0 * std::numbers::pi / fit.period;
    for (std::size_t i = 0; i < removed.size(); ++i) {
        // cos and sin of k x from those of x, one pair of calls per reading.
        const double x = w * (rec.seconds[i] - fit.timeOrigin);
        c[0] = 1.0, s[0] = 0.0, c[1] = std::cos(x), s[1] = std::sin(x);
        for (int k = 2; k <= highest; ++k) {
            c[k] = c[k - 1] * c[1] - s[k - 1] * s[1];
            s[k] = s[k - 1] * c[1] + c[k - 1] * s[1];
        }
        double v = removed[i];
        for (std::size_t n = 0; n < worm.size(); ++n) {
            const Term& t = *worm[n];
            v -= t.cosine * c[static_cast<std::size_t>(t.order)] +
                 t.sine * s[static_cast<std::size_t>(t.order)];
            if (n < variants) {
                sum[n] += v;
                squares[n] += v * v;
            }
        }
        sum[variants] += v;
        squares[variants] += v * v;
    }
    const double n = static_cast<double>(removed.size());
    const auto rms = [&](std::size_t k) {
        return std::sqrt(std::max(0.0, squares[k] / n - (sum[k] / n) * (sum[k] / n)));
    };
    a.correctedRms = rms(variants);
    for (std::size_t k = 0; k < variants; ++k) {
        CorrectionFigure figure{{}, rms(k)};
        for (std::size_t m = 0; m <= k; ++m)
            figure.orders.push_back(worm[m]->order);
        a.strongest.push_back(figure);
    }
}

void componentFigures(Analysis& a, const ComponentFit& found, double span) {
    const double variance = a.rms * a.rms;
    for (std::size_t k = 0; k < found.fit.terms.size(); ++k) {
        const Term& t = found.fit.terms[k];
        if (found.signalToNoise[k] < a.minSignalToNoise || t.amplitude() < a.minComponentAmplitude)
            continue;
        ComponentFigure c;
        c.period = 1.0 / t.frequency;
        c.periodError = t.frequencyError * c.period * c.period;
        c.amplitude = t.amplitude();
        c.amplitudeError = t.amplitudeError;
        c.phase = t.phaseDegrees();
        c.varianceShare = variance > 0.0 ? 0.5 * c.amplitude * c.amplitude / variance : 0.0;
        c.signalToNoise = found.signalToNoise[k];
        if (a.hasPeriod) {
            c.wormRatio = a.period / c.period;
            const long k2 = std::lround(c.wormRatio);
            if (t.order > 0)
                c.wormHarmonic = t.order;
            else if (k2 >= 1 && std::abs(t.frequency - static_cast<double>(k2) / a.period) < 1.0 / span)
                c.wormHarmonic = static_cast<int>(k2);
        }
        a.components.push_back(c);
    }
    std::sort(a.components.begin(), a.components.end(),
              [](const ComponentFigure& x, const ComponentFigure& y) { return x.amplitude > y.amplitude; });
}

} // namespace

Analysis analyzeRecording(const Recording& rec, const AnalysisOptions& options) {
    Analysis a;
    a.readings = rec.size();
    a.readingRate = rec.readingRate;
    a.badLines = rec.badLines;
    a.badLineCount = rec.badLineCount;
    a.firstDayNumber = rec.firstDayNumber;
    a.minSignalToNoise = options.minSignalToNoise;
    a.minComponentAmplitude = options.minComponentAmplitude;
    if (rec.size() == 0)
        return a;

    const auto [lo, hi] = std::minmax_element(rec.seconds.begin(), rec.seconds.end());
    const double origin = *lo;
    a.firstReading = *lo;
    a.lastReading = *hi;
    const double span = std::max(*hi - *lo, 1e-3);
    std::vector<double> values(rec.size());
    for (std::size_t i = 0; i < rec.size(); ++i) {
        values[i] = rec.arcseconds(i);
        if (rec.codes[i] == 0 || rec.codes[i] == 255)
            ++a.clipped;
    }
    for (const Run& run : rec.runs)
        a.recordedSeconds += rec.seconds[run.end - 1] - rec.seconds[run.first] + 1.0 / rec.readingRate;

    // Bins of about a second, coarser for very long recordings so the fits stay small.
    const double binWidth = std::max({1.0, 1.0 / rec.readingRate, a.recordedSeconds / 40000.0});
    const BinnedSeries bins = binReadings(rec, values, binWidth);

    // The spectrum of the readings with a straight line per run removed.
    const ModelFit lineFit = fitModel(bins, {}, std::vector<int>(bins.runs.size(), 1), origin);
    std::vector<double> residual(bins.value.size());
    for (std::size_t r = 0; r < bins.runs.size(); ++r)
        for (std::size_t i = bins.runs[r].first; i < bins.runs[r].end; ++i)
            residual[i] = bins.value[i] - (lineFit.ok ? lineFit.drift[r].at(bins.seconds[i]) : 0.0);
    const double shortest = std::max(4.0 * binWidth, 8.0);
    const double longest = std::max(shortest * 2.0, std::min(span, 2.0 * options.maxPeriod));
    a.series.spectrum = amplitudeSpectrum(bins, residual, shortest, longest);

    const bool periodGiven = options.period && *options.period > 0.0;
    if (periodGiven) {
        a.period = *options.period;
        a.periodGiven = true;
        a.hasPeriod = true;
    } else {
        const auto worm =
            spectralPeaks(a.series.spectrum, 1, options.minPeriod, std::min(options.maxPeriod, span));
        if (!worm.empty()) {
            a.spectrumPeriod = worm.front().period;
            const int k = usableHarmonics(a.spectrumPeriod, binWidth, options.harmonics);
            a.period = scanPeriod(bins, a.spectrumPeriod, span, k, origin);
            a.hasPeriod = true;
        }
    }

    // The final model: drift per run, the worm's harmonics with the period refined, and the components found
    // in what they leave.
    const int harmonics = a.hasPeriod ? usableHarmonics(a.period, binWidth, options.harmonics) : 0;
    const std::vector<int> degrees = driftDegrees(bins, a.period);
    ModelFit wormFit =
        refineModel(bins, wormShape(a.hasPeriod ? a.period : 0.0, harmonics), degrees, origin, periodGiven);
    if (!wormFit.ok)
        wormFit = fitModel(bins, wormShape(a.hasPeriod ? a.period : 0.0, harmonics), degrees, origin);
    ComponentSearch search;
    search.minSignalToNoise = options.minSignalToNoise;
    search.most = options.maxComponents;
    search.minAmplitude = options.minComponentAmplitude;
    search.shortestPeriod = shortest;
    search.longestPeriod = options.maxPeriod;
    ComponentFit found;
    if (wormFit.ok)
        found = findComponents(bins, wormFit, degrees, periodGiven, search);
    else
        found.fit = wormFit;
    const ModelFit& fit = found.fit;
    if (a.hasPeriod && fit.ok && fit.period > 0.0) {
        a.period = fit.period;
        a.periodError = fit.periodError;
        a.periodErrorScale = found.periodErrorScale;
    }
    a.shortestComponent = search.shortestPeriod;
    a.longestComponent = std::min(search.longestPeriod, std::max(bins.span(), 1.0) / search.leastCycles);
    a.series.residualSpectrum = found.residual;
    for (const double noise : found.noise)
        a.series.threshold.push_back(options.minSignalToNoise * noise);

    std::vector<double>& removed = values; // drift removed in place
    double sum = 0.0;
    for (std::size_t r = 0; r < rec.runs.size(); ++r) {
        const Run& run = rec.runs[r];
        RunFigure figure{rec.seconds[run.first], rec.seconds[run.end - 1], run.end - run.first, 0.0};
        if (fit.ok) {
            const RunDrift& drift = fit.drift[r];
            for (std::size_t i = run.first; i < run.end; ++i)
                removed[i] -= drift.at(rec.seconds[i]);
            const double minutes = (figure.end - figure.start) / 60.0;
            if (minutes > 0.0)
                figure.driftRate = (drift.at(figure.end) - drift.at(figure.start)) / minutes;
        }
        for (std::size_t i = run.first; i < run.end; ++i)
            sum += removed[i];
        if (a.hasPeriod)
            a.wholeCycles +=
                static_cast<long>((figure.end - figure.start + 1.0 / rec.readingRate) / a.period);
        a.runs.push_back(figure);
    }
    double weighted = 0.0, length = 0.0;
    for (const RunFigure& r : a.runs) {
        weighted += r.driftRate * (r.end - r.start);
        length += r.end - r.start;
    }
    a.driftRate = length > 0.0 ? weighted / length : 0.0;
    const double mean = sum / static_cast<double>(rec.size());
    double squares = 0.0;
    for (const double v : removed) {
        squares += (v - mean) * (v - mean);
        a.maxExcursion = std::max(a.maxExcursion, std::abs(v - mean));
    }
    a.rms = std::sqrt(squares / static_cast<double>(rec.size()));
    if (fit.ok)
        componentFigures(a, found, std::max(bins.span(), 1.0));

    if (a.hasPeriod) {
        a.cycles = a.recordedSeconds / a.period;
        a.periodTrusted = a.periodGiven || a.cycles >= options.minTrustedCycles;
        for (const Term& t : fit.terms)
            if (t.order > 0)
                a.harmonics.push_back(
                    {t.order, a.period / t.order, t.amplitude(), t.amplitudeError, t.phaseDegrees()});
        std::sort(a.harmonics.begin(), a.harmonics.end(),
                  [](const HarmonicFigure& x, const HarmonicFigure& y) { return x.order < y.order; });
        if (fit.ok)
            correctionFigures(a, rec, removed, fit);
        const double n = static_cast<double>(rec.size());
        a.series.folded = foldReadings(rec, removed, a.period, origin, binsFor(n, 200.0, options.phaseBins));
        a.foldedPeakToPeak = a.series.folded.peakToPeak();
        a.foldedRms = a.series.folded.rms();
        const double perCycle = a.period * rec.readingRate;
        a.series.foldedCoarse =
            foldReadings(rec, removed, a.period, origin,
                         binsFor(perCycle, 20.0, std::min(options.cycleBins, a.series.folded.bins())));
        a.series.cycles = cycleCurves(rec, removed, a.series.foldedCoarse, origin);
    }

    // The drift-removed series for the plot: about a point per pixel of a plot, at most 1200.
    const double plotWidth = std::max(binWidth, a.recordedSeconds / 1200.0);
    const BinnedSeries plot = binReadings(rec, removed, plotWidth);
    for (std::size_t i = 0; i < plot.seconds.size(); ++i) {
        a.series.minutes.push_back((plot.seconds[i] - origin) / 60.0);
        a.series.driftRemoved.push_back(plot.value[i]);
        a.series.fit.push_back(fit.ok ? fit.periodicAt(plot.seconds[i]) + fit.otherAt(plot.seconds[i]) : 0.0);
    }
    return a;
}

AnalysisResult analyzeFile(const std::string& path, const AnalysisOptions& options,
                           const ReadOptions& readOptions, const Progress& progress) {
    AnalysisResult result;
    Progress reading;
    if (progress)
        reading = [&](double share) {
            return progress(0.9 * share);
        };
    ReadResult read = readRecordFile(path, readOptions, reading);
    if (!read.error.empty()) {
        result.error = read.error;
        result.cancelled = read.cancelled;
        return result;
    }
    std::optional<GuideFigures> guide;
    if (!options.guideLog.empty()) {
        const GuideLogResult log = readGuideLog(options.guideLog, readOptions.monthNames);
        if (!log.error.empty()) {
            result.error = log.error;
            return result;
        }
        Recording& rec = read.recording;
        rec.added = guideCorrection(rec, log.log);
        GuideFigures g;
        g.file = options.guideLog;
        g.sent = log.log.sent.size();
        g.refused = log.log.refused;
        g.skipped = log.log.skipped;
        g.badLines = log.log.badLineCount;
        if (!log.log.badLines.empty())
            g.firstBadLine = "line " + std::to_string(log.log.badLines.front().lineNumber) + ": " +
                             log.log.badLines.front().reason;
        for (const SentPulse& p : log.log.sent)
            g.net += p.correction;
        g.firstLine =
            static_cast<double>(log.log.firstDay - rec.firstDayNumber) * 86400.0 + log.log.firstSecondOfDay;
        g.lastLine =
            static_cast<double>(log.log.lastDay - rec.firstDayNumber) * 86400.0 + log.log.lastSecondOfDay;
        guide = g;
    }
    result.analysis = analyzeRecording(read.recording, options);
    result.analysis.fileName = path;
    result.analysis.guide = guide;
    if (progress)
        progress(1.0);
    return result;
}

} // namespace analysis
