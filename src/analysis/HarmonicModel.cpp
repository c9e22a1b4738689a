// Weighted least squares with Eigen's column-pivoting QR: stable for the few dozen columns used here.
#include "analysis/HarmonicModel.h"

#include <Eigen/Dense>

#include <cmath>
#include <numbers>

namespace analysis {

BinnedSeries binReadings(const Recording& rec, const std::vector<double>& values, double binWidth) {
    BinnedSeries bins;
    bins.binWidth = binWidth;
    for (const Run& run : rec.runs) {
        const std::size_t firstBin = bins.seconds.size();
        const double start = rec.seconds[run.first];
        long current = -1;
        for (std::size_t i = run.first; i < run.end; ++i) {
            const long index = static_cast<long>(std::floor((rec.seconds[i] - start) / binWidth));
            if (index != current) {
                bins.seconds.push_back(0.0);
                bins.value.push_back(0.0);
                bins.weight.push_back(0.0);
                current = index;
            }
            bins.seconds.back() += rec.seconds[i];
            bins.value.back() += values[i];
            bins.weight.back() += 1.0;
        }
        for (std::size_t b = firstBin; b < bins.seconds.size(); ++b) {
            bins.seconds[b] /= bins.weight[b];
            bins.value[b] /= bins.weight[b];
        }
        bins.runs.push_back({firstBin, bins.seconds.size()});
    }
    return bins;
}

double RunDrift::at(double seconds) const {
    const double u = (seconds - center) / halfSpan;
    double v = 0.0;
    for (std::size_t k = coefficients.size(); k-- > 0;)
        v = v * u + coefficients[k];
    return v;
}

double ModelFit::periodicAt(double seconds) const {
    if (period <= 0.0)
        return 0.0;
    const double w = 2.0 * std::numbers::pi * (seconds - timeOrigin) / period;
    double v = 0.0;
    for (std::size_t k = 0; k < cosine.size(); ++k) {
        const double a = static_cast<double>(k + 1) * w;
        v += cosine[k] * std::cos(a) + sine[k] * std::sin(a);
    }
    return v;
}

double ModelFit::amplitude(std::size_t k) const {
    return std::hypot(cosine[k], sine[k]);
}

double ModelFit::phaseDegrees(std::size_t k) const {
    // a cos x + b sin x = A sin(x + phase) with phase = atan2(a, b).
    return std::atan2(cosine[k], sine[k]) * 180.0 / std::numbers::pi;
}

ModelFit fitModel(const BinnedSeries& bins, double period, int harmonics, const std::vector<int>& degrees,
                  double timeOrigin) {
    ModelFit fit;
    fit.period = period;
    fit.timeOrigin = timeOrigin;
    if (period <= 0.0)
        harmonics = 0;
    const std::size_t rows = bins.seconds.size();
    std::vector<Eigen::Index> firstColumn;
    Eigen::Index cols = 0;
    for (std::size_t r = 0; r < bins.runs.size(); ++r) {
        firstColumn.push_back(cols);
        cols += degrees[r] + 1;
        const Run& run = bins.runs[r];
        RunDrift drift;
        if (run.end > run.first) {
            const double a = bins.seconds[run.first];
            const double b = bins.seconds[run.end - 1];
            drift.center = 0.5 * (a + b);
            drift.halfSpan = std::max(0.5 * (b - a), 1.0);
        }
        drift.coefficients.assign(static_cast<std::size_t>(degrees[r] + 1), 0.0);
        fit.drift.push_back(drift);
    }
    const Eigen::Index harmonicColumn = cols;
    cols += 2 * harmonics;
    if (rows < static_cast<std::size_t>(cols) + 2)
        return fit;

    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(rows), cols);
    Eigen::VectorXd y(static_cast<Eigen::Index>(rows));
    const double w0 = period > 0.0 ? 2.0 * std::numbers::pi / period : 0.0;
    for (std::size_t r = 0; r < bins.runs.size(); ++r) {
        const RunDrift& drift = fit.drift[r];
        for (std::size_t i = bins.runs[r].first; i < bins.runs[r].end; ++i) {
            const auto row = static_cast<Eigen::Index>(i);
            const double s = std::sqrt(bins.weight[i]);
            const double u = (bins.seconds[i] - drift.center) / drift.halfSpan;
            double power = s;
            for (int d = 0; d <= degrees[r]; ++d, power *= u)
                a(row, firstColumn[r] + d) = power;
            const double x = w0 * (bins.seconds[i] - timeOrigin);
            for (int k = 0; k < harmonics; ++k) {
                a(row, harmonicColumn + 2 * k) = s * std::cos((k + 1) * x);
                a(row, harmonicColumn + 2 * k + 1) = s * std::sin((k + 1) * x);
            }
            y(row) = s * bins.value[i];
        }
    }
    const Eigen::VectorXd solution = a.colPivHouseholderQr().solve(y);
    if (!solution.allFinite())
        return fit;
    fit.residualSquares = (a * solution - y).squaredNorm();
    for (std::size_t r = 0; r < bins.runs.size(); ++r)
        for (int d = 0; d <= degrees[r]; ++d)
            fit.drift[r].coefficients[static_cast<std::size_t>(d)] = solution(firstColumn[r] + d);
    for (int k = 0; k < harmonics; ++k) {
        fit.cosine.push_back(solution(harmonicColumn + 2 * k));
        fit.sine.push_back(solution(harmonicColumn + 2 * k + 1));
    }
    fit.ok = true;
    return fit;
}

} // namespace analysis
