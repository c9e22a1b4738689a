// Weighted least squares with Eigen's column-pivoting QR: stable for the few dozen columns used here. The
// frequencies are refined as in variable projection: a Gauss-Newton step on the full Jacobian, then the
// linear coefficients solved afresh at the new frequencies, a step halved until the residual no longer grows.
#include "analysis/HarmonicModel.h"

#include <Eigen/Dense>

#include <algorithm>
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

double BinnedSeries::readings() const {
    double n = 0.0;
    for (const double w : weight)
        n += w;
    return n;
}

double BinnedSeries::span() const {
    if (seconds.empty())
        return 0.0;
    const auto [lo, hi] = std::minmax_element(seconds.begin(), seconds.end());
    return *hi - *lo;
}

double RunDrift::at(double seconds) const {
    const double u = (seconds - center) / halfSpan;
    double v = 0.0;
    for (std::size_t k = coefficients.size(); k-- > 0;)
        v = v * u + coefficients[k];
    return v;
}

double Term::amplitude() const {
    return std::hypot(cosine, sine);
}

double Term::phaseDegrees() const {
    // a cos x + b sin x = A sin(x + phase) with phase = atan2(a, b).
    return std::atan2(cosine, sine) * 180.0 / std::numbers::pi;
}

double Term::at(double seconds, double origin) const {
    const double x = 2.0 * std::numbers::pi * frequency * (seconds - origin);
    return cosine * std::cos(x) + sine * std::sin(x);
}

double ModelFit::periodicAt(double seconds) const {
    double v = 0.0;
    for (const Term& t : terms)
        if (t.order > 0)
            v += t.at(seconds, timeOrigin);
    return v;
}

double ModelFit::otherAt(double seconds) const {
    double v = 0.0;
    for (const Term& t : terms)
        if (t.order == 0)
            v += t.at(seconds, timeOrigin);
    return v;
}

double ModelFit::driftAt(std::size_t run, double seconds) const {
    return run < drift.size() ? drift[run].at(seconds) : 0.0;
}

ModelShape ModelFit::shape() const {
    ModelShape s;
    s.period = period;
    for (const Term& t : terms)
        if (t.order > 0)
            s.orders.push_back(t.order);
        else
            s.frequencies.push_back(t.frequency);
    return s;
}

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The weighted design: drift columns per run, then cosine and sine columns per sinusoid.
struct Design {
    Eigen::MatrixXd a;
    Eigen::VectorXd y;
    std::vector<RunDrift> drift;
    std::vector<Eigen::Index> firstColumn; // of each run's drift
    Eigen::Index sinusoidColumn = 0;
};

// One frequency per term: the worm's orders over the period, then the components'.
std::vector<double> termFrequencies(const ModelShape& shape) {
    std::vector<double> f;
    if (shape.period > 0.0)
        for (const int k : shape.orders)
            f.push_back(k / shape.period);
    f.insert(f.end(), shape.frequencies.begin(), shape.frequencies.end());
    return f;
}

// `orders`: of the first terms, the worm's harmonics of `frequencies[0] / orders[0]`, whose sines and cosines
// come from the fundamental's by the angle-sum recurrence (one sincos per bin for all of them).
Design design(const BinnedSeries& bins, const std::vector<double>& frequencies,
              const std::vector<int>& degrees, double origin, const std::vector<int>& orders) {
    Design d;
    Eigen::Index cols = 0;
    for (std::size_t r = 0; r < bins.runs.size(); ++r) {
        d.firstColumn.push_back(cols);
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
        d.drift.push_back(drift);
    }
    d.sinusoidColumn = cols;
    cols += 2 * static_cast<Eigen::Index>(frequencies.size());
    const auto rows = static_cast<Eigen::Index>(bins.seconds.size());
    d.a = Eigen::MatrixXd::Zero(rows, cols);
    d.y.resize(rows);
    const std::size_t worm = std::min(orders.size(), frequencies.size());
    const double fundamental = worm > 0 ? frequencies[0] / orders[0] : 0.0;
    int highest = 0;
    for (std::size_t k = 0; k < worm; ++k)
        highest = std::max(highest, orders[k]);
    std::vector<double> c(static_cast<std::size_t>(highest) + 1), sn(static_cast<std::size_t>(highest) + 1);
    for (std::size_t r = 0; r < bins.runs.size(); ++r) {
        const RunDrift& drift = d.drift[r];
        for (std::size_t i = bins.runs[r].first; i < bins.runs[r].end; ++i) {
            const auto row = static_cast<Eigen::Index>(i);
            const double s = std::sqrt(bins.weight[i]);
            const double u = (bins.seconds[i] - drift.center) / drift.halfSpan;
            double power = s;
            for (int p = 0; p <= degrees[r]; ++p, power *= u)
                d.a(row, d.firstColumn[r] + p) = power;
            const double tau = bins.seconds[i] - origin;
            if (worm > 0) {
                const double x = kTwoPi * fundamental * tau;
                c[0] = 1.0, sn[0] = 0.0, c[1] = std::cos(x), sn[1] = std::sin(x);
                for (std::size_t k = 2; k < c.size(); ++k) {
                    c[k] = c[k - 1] * c[1] - sn[k - 1] * sn[1];
                    sn[k] = sn[k - 1] * c[1] + c[k - 1] * sn[1];
                }
            }
            for (std::size_t k = 0; k < frequencies.size(); ++k) {
                const auto col = d.sinusoidColumn + 2 * static_cast<Eigen::Index>(k);
                if (k < worm) {
                    const auto o = static_cast<std::size_t>(orders[k]);
                    d.a(row, col) = s * c[o];
                    d.a(row, col + 1) = s * sn[o];
                } else {
                    const double x = kTwoPi * frequencies[k] * tau;
                    d.a(row, col) = s * std::cos(x);
                    d.a(row, col + 1) = s * std::sin(x);
                }
            }
            d.y(row) = s * bins.value[i];
        }
    }
    return d;
}

struct Solved {
    bool ok = false;
    Design d;
    Eigen::VectorXd x;
    double squares = 0.0;
};

Solved solve(const BinnedSeries& bins, const ModelShape& shape, const std::vector<int>& degrees,
             double origin) {
    Solved s;
    s.d = design(bins, termFrequencies(shape), degrees, origin,
                 shape.period > 0.0 ? shape.orders : std::vector<int>());
    if (s.d.a.rows() < s.d.a.cols() + 2)
        return s;
    s.x = s.d.a.colPivHouseholderQr().solve(s.d.y);
    if (!s.x.allFinite())
        return s;
    s.squares = (s.d.a * s.x - s.d.y).squaredNorm();
    s.ok = true;
    return s;
}

// The fit's result; phases moved from `solvedOrigin` to `timeOrigin`.
ModelFit result(const Solved& s, const ModelShape& shape, const std::vector<double>& frequencies,
                const std::vector<int>& degrees, double solvedOrigin, double timeOrigin) {
    ModelFit fit;
    fit.ok = true;
    fit.period = shape.period > 0.0 && !shape.orders.empty() ? shape.period : 0.0;
    fit.timeOrigin = timeOrigin;
    fit.drift = s.d.drift;
    for (std::size_t r = 0; r < fit.drift.size(); ++r)
        for (int p = 0; p <= degrees[r]; ++p)
            fit.drift[r].coefficients[static_cast<std::size_t>(p)] = s.x(s.d.firstColumn[r] + p);
    const std::size_t worm = shape.period > 0.0 ? shape.orders.size() : 0;
    for (std::size_t k = 0; k < frequencies.size(); ++k) {
        const auto c = s.d.sinusoidColumn + 2 * static_cast<Eigen::Index>(k);
        const double a = s.x(c), b = s.x(c + 1);
        // a cos(x - delta) + b sin(x - delta) at the new origin.
        const double delta = kTwoPi * frequencies[k] * (solvedOrigin - timeOrigin);
        Term t;
        t.order = k < worm ? shape.orders[k] : 0;
        t.frequency = frequencies[k];
        t.cosine = a * std::cos(delta) - b * std::sin(delta);
        t.sine = a * std::sin(delta) + b * std::cos(delta);
        fit.terms.push_back(t);
    }
    fit.residualSquares = s.squares;
    fit.parameters = static_cast<std::size_t>(s.d.a.cols());
    const double dof = static_cast<double>(s.d.a.rows()) - static_cast<double>(fit.parameters);
    fit.readingVariance = dof > 0.0 ? s.squares / dof : 0.0;
    return fit;
}

} // namespace

ModelFit fitModel(const BinnedSeries& bins, const ModelShape& shape, const std::vector<int>& degrees,
                  double timeOrigin) {
    const std::vector<double> frequencies = termFrequencies(shape);
    const Solved s = solve(bins, shape, degrees, timeOrigin);
    if (!s.ok) {
        ModelFit failed;
        failed.timeOrigin = timeOrigin;
        return failed;
    }
    return result(s, shape, frequencies, degrees, timeOrigin, timeOrigin);
}

ModelFit refineModel(const BinnedSeries& bins, const ModelShape& start, const std::vector<int>& degrees,
                     double timeOrigin, bool periodFixed, Influence* influence) {
    ModelFit failed;
    failed.timeOrigin = timeOrigin;
    if (bins.seconds.empty())
        return failed;
    // Solved about the middle of the recording, where phase and frequency are least entangled.
    const auto [lo, hi] = std::minmax_element(bins.seconds.begin(), bins.seconds.end());
    const double origin = 0.5 * (*lo + *hi);
    const double span = std::max(*hi - *lo, 1.0);
    ModelShape shape = start;
    const bool wormFree = !periodFixed && shape.period > 0.0 && !shape.orders.empty();
    const std::size_t worm = shape.period > 0.0 ? shape.orders.size() : 0;
    const auto free = static_cast<Eigen::Index>((wormFree ? 1 : 0) + shape.frequencies.size());

    // The frequency columns of the Jacobian, in units of 1 / span so that they weigh like the others.
    const auto jacobian = [&](const Solved& s) {
        const std::size_t terms = termFrequencies(shape).size();
        Eigen::MatrixXd j(s.d.a.rows(), s.d.a.cols() + free);
        j.leftCols(s.d.a.cols()) = s.d.a;
        j.rightCols(free).setZero();
        for (Eigen::Index row = 0; row < j.rows(); ++row) {
            const double scale = kTwoPi * (bins.seconds[static_cast<std::size_t>(row)] - origin) / span;
            for (std::size_t k = 0; k < terms; ++k) {
                const auto c = s.d.sinusoidColumn + 2 * static_cast<Eigen::Index>(k);
                // d/df (a cos x + b sin x) = 2 pi tau (b cos x - a sin x), the design's columns holding
                // sqrt(w) cos x and sqrt(w) sin x; the worm's order k moves k times as fast.
                const double slope = scale * (s.x(c + 1) * s.d.a(row, c) - s.x(c) * s.d.a(row, c + 1));
                if (k < worm) {
                    if (wormFree)
                        j(row, s.d.a.cols()) += slope * shape.orders[k];
                } else {
                    j(row, s.d.a.cols() + (wormFree ? 1 : 0) + static_cast<Eigen::Index>(k - worm)) = slope;
                }
            }
        }
        return j;
    };
    // Frequencies after a step of `delta` (units of 1 / span): the worm's fundamental, then the components.
    const auto stepped = [&](const Eigen::VectorXd& delta) {
        ModelShape s = shape;
        Eigen::Index at = 0;
        if (wormFree)
            s.period = 1.0 / (1.0 / shape.period + delta(at++) / span);
        for (double& f : s.frequencies)
            f += delta(at++) / span;
        return s;
    };

    Solved current = solve(bins, shape, degrees, origin);
    if (!current.ok)
        return failed;
    for (int iteration = 0; iteration < 30 && free > 0; ++iteration) {
        const Eigen::MatrixXd j = jacobian(current);
        const Eigen::VectorXd r = current.d.y - current.d.a * current.x;
        const Eigen::VectorXd step = j.colPivHouseholderQr().solve(r);
        if (!step.allFinite())
            break;
        // What the step would take off the residual, were the model linear: nothing worth a try means done.
        if ((j * step).squaredNorm() <= 1e-12 * current.squares)
            break;
        Eigen::VectorXd delta = step.tail(free);
        // At most a quarter of a resolution width per step: the start lies within the right peak.
        const double largest = delta.cwiseAbs().maxCoeff();
        if (largest > 0.25)
            delta *= 0.25 / largest;
        bool moved = false;
        for (int halving = 0; halving < 8 && !moved; ++halving, delta *= 0.5) {
            const ModelShape trial = stepped(delta);
            Solved s = solve(bins, trial, degrees, origin);
            if (s.ok && s.squares <= current.squares) {
                current = std::move(s);
                shape = trial;
                moved = true;
            }
        }
        if (!moved)
            break;
    }

    const std::vector<double> frequencies = termFrequencies(shape);
    ModelFit fit = result(current, shape, frequencies, degrees, origin, timeOrigin);

    // Covariance: (J^T J)^-1 through the QR of J (J P = Q R), scaled by the variance per reading.
    const Eigen::MatrixXd j = jacobian(current);
    const Eigen::Index p = j.cols();
    const double dof = static_cast<double>(j.rows() - p);
    if (dof <= 0.0)
        return fit;
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(j);
    if (qr.rank() < p)
        return fit;
    const Eigen::MatrixXd rInverse = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>().solve(
        Eigen::MatrixXd::Identity(p, p));
    const Eigen::MatrixXd unscaled =
        qr.colsPermutation() * (rInverse * rInverse.transpose()) * qr.colsPermutation().transpose();
    const Eigen::MatrixXd cov = unscaled * (current.squares / dof);
    fit.parameters = static_cast<std::size_t>(p);
    fit.readingVariance = current.squares / dof;
    const Eigen::Index firstFree = current.d.a.cols();
    // The estimate's change for a change of the bins' values: row m of (J^T J)^-1 J^T, un-weighted.
    const Eigen::VectorXd rootWeight =
        Eigen::Map<const Eigen::VectorXd>(bins.weight.data(), j.rows()).cwiseSqrt();
    const auto follows = [&](const Eigen::VectorXd& combination) {
        const Eigen::VectorXd g = (j * (unscaled * combination)).cwiseProduct(rootWeight);
        return std::vector<double>(g.data(), g.data() + g.size());
    };
    for (std::size_t k = 0; k < fit.terms.size(); ++k) {
        Term& t = fit.terms[k];
        const auto c = current.d.sinusoidColumn + 2 * static_cast<Eigen::Index>(k);
        const double a = current.x(c), b = current.x(c + 1), amplitude = std::hypot(a, b);
        if (amplitude > 0.0)
            t.amplitudeError = std::sqrt(std::max(0.0, a * a * cov(c, c) + 2.0 * a * b * cov(c, c + 1) +
                                                           b * b * cov(c + 1, c + 1))) /
                               amplitude;
        Eigen::Index at = -1;
        if (k < worm && wormFree)
            t.frequencyError = t.order * std::sqrt(cov(firstFree, firstFree)) / span;
        else if (k >= worm) {
            at = firstFree + (wormFree ? 1 : 0) + static_cast<Eigen::Index>(k - worm);
            t.frequencyError = std::sqrt(cov(at, at)) / span;
        }
        if (influence) {
            Eigen::VectorXd e = Eigen::VectorXd::Zero(p);
            if (amplitude > 0.0)
                e(c) = a / amplitude, e(c + 1) = b / amplitude;
            influence->amplitude.push_back(follows(e));
            influence->frequency.push_back(at >= 0 ? follows(Eigen::VectorXd::Unit(p, at))
                                                   : std::vector<double>());
        }
    }
    if (influence && wormFree)
        influence->period = follows(Eigen::VectorXd::Unit(p, firstFree));
    if (influence) {
        const Eigen::MatrixXd q = qr.householderQ() * Eigen::MatrixXd::Identity(j.rows(), p);
        for (Eigen::Index c = 0; c < p; ++c) {
            const Eigen::VectorXd g = q.col(c).cwiseProduct(rootWeight);
            influence->basis.emplace_back(g.data(), g.data() + g.size());
        }
    }
    if (wormFree)
        fit.periodError = std::sqrt(cov(firstFree, firstFree)) / span * shape.period * shape.period;
    return fit;
}

} // namespace analysis
