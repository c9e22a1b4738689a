// Phase folding: one pass over the readings, sums per bin.
#include "analysis/Folding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace analysis {
namespace {

std::size_t phaseBin(double seconds, double origin, double period, std::size_t bins) {
    double phase = std::fmod(seconds - origin, period) / period;
    if (phase < 0.0)
        phase += 1.0;
    return std::min(bins - 1, static_cast<std::size_t>(phase * static_cast<double>(bins)));
}

} // namespace

double FoldedCurve::peakToPeak() const {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (std::size_t b = 0; b < mean.size(); ++b)
        if (count[b] > 0) {
            lo = std::min(lo, mean[b]);
            hi = std::max(hi, mean[b]);
        }
    return hi >= lo ? hi - lo : 0.0;
}

double FoldedCurve::rms() const {
    double sum = 0.0, squares = 0.0, n = 0.0;
    for (std::size_t b = 0; b < mean.size(); ++b)
        if (count[b] > 0) {
            sum += mean[b];
            squares += mean[b] * mean[b];
            n += 1.0;
        }
    return n > 0.0 ? std::sqrt(std::max(0.0, squares / n - (sum / n) * (sum / n))) : 0.0;
}

FoldedCurve foldReadings(const Recording& rec, const std::vector<double>& values, double period,
                         double origin, std::size_t bins) {
    FoldedCurve fold;
    fold.period = period;
    fold.mean.assign(bins, 0.0);
    fold.spread.assign(bins, 0.0);
    fold.count.assign(bins, 0);
    std::vector<double> squares(bins, 0.0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t b = phaseBin(rec.seconds[i], origin, period, bins);
        fold.mean[b] += values[i];
        squares[b] += values[i] * values[i];
        ++fold.count[b];
    }
    for (std::size_t b = 0; b < bins; ++b) {
        if (fold.count[b] == 0)
            continue;
        const double n = static_cast<double>(fold.count[b]);
        fold.mean[b] /= n;
        fold.spread[b] = std::sqrt(std::max(0.0, squares[b] / n - fold.mean[b] * fold.mean[b]));
    }
    return fold;
}

std::vector<CycleCurve> cycleCurves(const Recording& rec, const std::vector<double>& values,
                                    const FoldedCurve& folded, double origin) {
    const std::size_t bins = folded.bins();
    const double period = folded.period;
    struct Sums {
        std::vector<double> sum;
        std::vector<std::size_t> count;
    };
    std::map<long, Sums> cycles;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const long cycle = static_cast<long>(std::floor((rec.seconds[i] - origin) / period));
        Sums& s = cycles[cycle];
        if (s.sum.empty()) {
            s.sum.assign(bins, 0.0);
            s.count.assign(bins, 0);
        }
        const std::size_t b = phaseBin(rec.seconds[i], origin, period, bins);
        s.sum[b] += values[i];
        ++s.count[b];
    }
    std::vector<CycleCurve> curves;
    for (const auto& [index, s] : cycles) {
        CycleCurve c;
        c.index = index;
        c.start = origin + static_cast<double>(index) * period;
        c.mean.assign(bins, std::numeric_limits<double>::quiet_NaN());
        double lo = std::numeric_limits<double>::infinity(), hi = -lo, squares = 0.0, filled = 0.0;
        for (std::size_t b = 0; b < bins; ++b) {
            if (s.count[b] == 0)
                continue;
            c.mean[b] = s.sum[b] / static_cast<double>(s.count[b]);
            lo = std::min(lo, c.mean[b]);
            hi = std::max(hi, c.mean[b]);
            const double d = c.mean[b] - folded.mean[b];
            squares += d * d;
            filled += 1.0;
        }
        c.coverage = filled / static_cast<double>(bins);
        c.peakToPeak = filled > 0.0 ? hi - lo : 0.0;
        c.rmsAboutMean = filled > 0.0 ? std::sqrt(squares / filled) : 0.0;
        curves.push_back(std::move(c));
    }
    return curves;
}

} // namespace analysis
