// The analysis pipeline. Heavy work runs on bins of about one second (the worm's periods are minutes long);
// only drift removal and folding touch every reading.
#include "analysis/Analysis.h"

#include <algorithm>
#include <cmath>

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

// Least-squares period: scan around the spectrum's peak over +-2 resolution widths, then a golden-section
// search between the best scan point's neighbours.
double refinePeriod(const BinnedSeries& bins, double start, double span, int harmonics, double origin) {
    const std::vector<int> degrees = driftDegrees(bins, start);
    const auto cost = [&](double p) {
        const ModelFit f = fitModel(bins, p, harmonics, degrees, origin);
        return f.ok ? f.residualSquares : INFINITY;
    };
    const double width = start * start / std::max(span, start);
    const double lo = std::max(start - 2.0 * width, 0.8 * start);
    const double hi = std::min(start + 2.0 * width, 1.25 * start);
    constexpr int kSteps = 40;
    double best = start;
    double bestCost = cost(start);
    int bestStep = -1;
    for (int i = 0; i <= kSteps; ++i) {
        const double p = lo + (hi - lo) * i / kSteps;
        const double c = cost(p);
        if (c < bestCost) {
            best = p;
            bestCost = c;
            bestStep = i;
        }
    }
    if (bestStep < 0)
        return best;
    double a = std::max(lo, best - (hi - lo) / kSteps);
    double b = std::min(hi, best + (hi - lo) / kSteps);
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    double c1 = cost(x1), c2 = cost(x2);
    for (int i = 0; i < 40 && b - a > 1e-6 * start; ++i) {
        if (c1 < c2) {
            b = x2, x2 = x1, c2 = c1;
            x1 = b - g * (b - a), c1 = cost(x1);
        } else {
            a = x1, x1 = x2, c1 = c2;
            x2 = a + g * (b - a), c2 = cost(x2);
        }
    }
    const double refined = 0.5 * (a + b);
    return cost(refined) <= bestCost ? refined : best;
}

// Largest power of two not above `most` that leaves about `perBin` readings in each bin; at least 8.
std::size_t binsFor(double readings, double perBin, std::size_t most) {
    std::size_t bins = 8;
    while (bins * 2 <= most && readings / static_cast<double>(bins * 2) >= perBin)
        bins *= 2;
    return bins;
}

} // namespace

Analysis analyzeRecording(const Recording& rec, const AnalysisOptions& options) {
    Analysis a;
    a.readings = rec.size();
    a.readingRate = rec.readingRate;
    a.badLines = rec.badLines;
    a.badLineCount = rec.badLineCount;
    a.firstDayNumber = rec.firstDayNumber;
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
    const ModelFit lineFit = fitModel(bins, 0.0, 0, std::vector<int>(bins.runs.size(), 1), origin);
    std::vector<double> residual(bins.value.size());
    for (std::size_t r = 0; r < bins.runs.size(); ++r)
        for (std::size_t i = bins.runs[r].first; i < bins.runs[r].end; ++i)
            residual[i] = bins.value[i] - (lineFit.ok ? lineFit.drift[r].at(bins.seconds[i]) : 0.0);
    const double shortest = std::max(4.0 * binWidth, 8.0);
    const double longest = std::max(shortest * 2.0, std::min(span, 2.0 * options.maxPeriod));
    a.series.spectrum = amplitudeSpectrum(bins, residual, shortest, longest);
    a.peaks = spectralPeaks(a.series.spectrum, 6, shortest, longest);

    if (options.period && *options.period > 0.0) {
        a.period = *options.period;
        a.periodGiven = true;
        a.hasPeriod = true;
    } else {
        const auto worm =
            spectralPeaks(a.series.spectrum, 1, options.minPeriod, std::min(options.maxPeriod, span));
        if (!worm.empty()) {
            a.spectrumPeriod = worm.front().period;
            const int k = usableHarmonics(a.spectrumPeriod, binWidth, options.harmonics);
            a.period = refinePeriod(bins, a.spectrumPeriod, span, k, origin);
            a.hasPeriod = true;
        }
    }

    // The final model: drift per run, plus the harmonics when there is a period.
    const int harmonics = a.hasPeriod ? usableHarmonics(a.period, binWidth, options.harmonics) : 0;
    const ModelFit fit =
        fitModel(bins, a.hasPeriod ? a.period : 0.0, harmonics, driftDegrees(bins, a.period), origin);
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

    if (a.hasPeriod) {
        a.cycles = a.recordedSeconds / a.period;
        a.periodTrusted = a.periodGiven || a.cycles >= options.minTrustedCycles;
        for (int k = 0; k < harmonics && fit.ok; ++k)
            a.harmonics.push_back({k + 1, a.period / (k + 1), fit.amplitude(static_cast<std::size_t>(k)),
                                   fit.phaseDegrees(static_cast<std::size_t>(k))});
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

    // The drift-removed series for the plot: at most a few thousand points.
    const double plotWidth = std::max(binWidth, a.recordedSeconds / 4000.0);
    const BinnedSeries plot = binReadings(rec, removed, plotWidth);
    for (std::size_t i = 0; i < plot.seconds.size(); ++i) {
        a.series.minutes.push_back((plot.seconds[i] - origin) / 60.0);
        a.series.driftRemoved.push_back(plot.value[i]);
        a.series.fit.push_back(fit.ok ? fit.periodicAt(plot.seconds[i]) : 0.0);
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
    result.analysis = analyzeRecording(read.recording, options);
    result.analysis.fileName = path;
    if (progress)
        progress(1.0);
    return result;
}

} // namespace analysis
