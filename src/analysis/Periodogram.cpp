// A weighted, zero-padded real FFT: amplitude(f) = 2 |sum w y e^(-i 2 pi f t)| / sum w, which is the
// least-squares sine amplitude for data without gaps and a fair guide with them.
#include "analysis/Periodogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <mutex>

namespace analysis {
namespace {

// FFTW's planner is not thread-safe; the analysis window runs analyses off the UI thread.
std::mutex& plannerMutex() {
    static std::mutex m;
    return m;
}

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};

std::size_t nextPowerOfTwo(std::size_t n) {
    std::size_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

// sum values[i] e^(-i 2 pi f t_i) at f = k df for k = 0 .. n / 2, on a uniform grid of cells of about the bin
// width, zero-padded to four times the span.
struct Transform {
    double df = 0.0;
    std::vector<std::complex<double>> value;
};

Transform transform(const BinnedSeries& bins, const std::vector<double>& values) {
    Transform t;
    if (bins.seconds.size() < 4)
        return t;
    const auto [lo, hi] = std::minmax_element(bins.seconds.begin(), bins.seconds.end());
    const double start = *lo;
    const double span = *hi - *lo;
    constexpr std::size_t kMaxCells = std::size_t{1} << 20;
    const double cell = std::max({bins.binWidth, span / static_cast<double>(kMaxCells - 1), 1e-3});
    const std::size_t cells = static_cast<std::size_t>(span / cell) + 1;
    const std::size_t n = nextPowerOfTwo(4 * cells);

    std::unique_ptr<double, FftwFree> in(fftw_alloc_real(n));
    std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(n / 2 + 1));
    fftw_plan plan;
    {
        const std::lock_guard lock(plannerMutex());
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in.get(), out.get(), FFTW_ESTIMATE);
    }
    std::fill(in.get(), in.get() + n, 0.0);
    for (std::size_t i = 0; i < bins.seconds.size(); ++i) {
        const auto c = static_cast<std::size_t>(std::lround((bins.seconds[i] - start) / cell));
        in.get()[std::min(c, cells - 1)] += values[i];
    }
    fftw_execute(plan);
    {
        const std::lock_guard lock(plannerMutex());
        fftw_destroy_plan(plan);
    }
    t.df = 1.0 / (static_cast<double>(n) * cell);
    t.value.resize(n / 2 + 1);
    for (std::size_t k = 0; k <= n / 2; ++k)
        t.value[k] = {out.get()[k][0], out.get()[k][1]};
    return t;
}

} // namespace

Spectrum amplitudeSpectrum(const BinnedSeries& bins, const std::vector<double>& residual,
                           double shortestPeriod, double longestPeriod) {
    Spectrum spectrum;
    std::vector<double> weighted(residual.size());
    double totalWeight = 0.0;
    for (std::size_t i = 0; i < residual.size(); ++i) {
        weighted[i] = bins.weight[i] * residual[i];
        totalWeight += bins.weight[i];
    }
    const Transform t = transform(bins, weighted);
    if (t.value.empty())
        return spectrum;
    const std::size_t kLow = std::max<std::size_t>(1, static_cast<std::size_t>(1.0 / (longestPeriod * t.df)));
    const std::size_t kHigh =
        std::min(t.value.size() - 1, static_cast<std::size_t>(std::ceil(1.0 / (shortestPeriod * t.df))));
    for (std::size_t k = kLow; k <= kHigh; ++k) {
        spectrum.period.push_back(1.0 / (static_cast<double>(k) * t.df));
        spectrum.amplitude.push_back(2.0 * std::abs(t.value[k]) / totalWeight);
    }
    return spectrum;
}

double colouredShare(const BinnedSeries& bins, const std::vector<double>& g, const Spectrum& s,
                     const std::vector<double>& power, double white) {
    const Transform t = transform(bins, g);
    if (t.value.empty() || s.period.empty() || !(white > 0.0))
        return 1.0;
    double weighted = 0.0, total = 0.0;
    for (std::size_t k = 0; k < t.value.size(); ++k) {
        const double w = std::norm(t.value[k]);
        // Beyond the spectrum's ends the noise is taken as at its nearest end.
        const double p = k == 0 ? power.front() : power[nearestPoint(s, static_cast<double>(k) * t.df)];
        weighted += w * p;
        total += w;
    }
    return total > 0.0 ? weighted / (total * white) : 1.0;
}

std::vector<double> bandMean(const Spectrum& s, const std::vector<double>& values,
                             const std::vector<char>& kept, double least) {
    // Points run from low to high frequency: one sliding window over prefix sums of the points kept.
    const std::size_t n = s.period.size();
    std::vector<double> f(n), sum(n + 1, 0.0), count(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        f[i] = 1.0 / s.period[i];
        sum[i + 1] = sum[i] + (kept[i] ? values[i] : 0.0);
        count[i + 1] = count[i] + (kept[i] ? 1.0 : 0.0);
    }
    std::vector<double> mean(n, 0.0);
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // Both ends of the band rise with f: one pass for each.
        while (f[lo] < f[i] - std::max(0.5 * f[i], least))
            ++lo;
        while (hi < n && f[hi] <= f[i] + std::max(f[i], least))
            ++hi;
        const double k = count[hi] - count[lo];
        if (k > 0.0)
            mean[i] = (sum[hi] - sum[lo]) / k;
    }
    return mean;
}

LocalMean localMean(const Spectrum& s, double least, const std::vector<double>& excluded, double gap) {
    std::vector<char> kept(s.period.size());
    std::vector<double> power(s.period.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const double f = 1.0 / s.period[i];
        kept[i] =
            std::none_of(excluded.begin(), excluded.end(), [&](double x) { return std::abs(f - x) < gap; });
        power[i] = s.amplitude[i] * s.amplitude[i];
    }
    return {bandMean(s, s.amplitude, kept, least), bandMean(s, power, kept, least)};
}

std::vector<double> absorbedShare(const BinnedSeries& bins, const std::vector<std::vector<double>>& basis,
                                  const Spectrum& s) {
    std::vector<double> share(s.period.size(), 0.0);
    const double norm = bins.readings();
    for (const std::vector<double>& column : basis) {
        const Transform t = transform(bins, column);
        if (t.value.empty())
            return share;
        for (std::size_t i = 0; i < share.size(); ++i) {
            const auto k = static_cast<std::size_t>(std::lround(1.0 / (s.period[i] * t.df)));
            if (k < t.value.size())
                share[i] += std::norm(t.value[k]) / norm;
        }
    }
    return share;
}

std::size_t nearestPoint(const Spectrum& s, double frequency) {
    // Periods fall along the spectrum: find the first at or below 1 / frequency.
    const double period = 1.0 / frequency;
    const auto it = std::lower_bound(s.period.begin(), s.period.end(), period, std::greater<double>());
    std::size_t i = static_cast<std::size_t>(it - s.period.begin());
    if (i >= s.period.size())
        return s.period.size() - 1;
    if (i > 0 && std::abs(1.0 / s.period[i - 1] - frequency) < std::abs(1.0 / s.period[i] - frequency))
        --i;
    return i;
}

std::vector<SpectralPeak> spectralPeaks(const Spectrum& s, std::size_t count, double minPeriod,
                                        double maxPeriod) {
    std::vector<SpectralPeak> peaks;
    for (std::size_t i = 1; i + 1 < s.amplitude.size(); ++i) {
        const double a = s.amplitude[i - 1], b = s.amplitude[i], c = s.amplitude[i + 1];
        if (!(b > a && b >= c) || s.period[i] < minPeriod || s.period[i] > maxPeriod)
            continue;
        // A parabola through the three points, in frequency, places the peak between grid points.
        const double denom = a - 2.0 * b + c;
        const double shift = denom != 0.0 ? 0.5 * (a - c) / denom : 0.0;
        const double f0 = 1.0 / s.period[i];
        const double df = 1.0 / s.period[i + 1] - f0;
        peaks.push_back({1.0 / (f0 + shift * df), b - 0.25 * (a - c) * shift});
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const SpectralPeak& x, const SpectralPeak& y) { return x.amplitude > y.amplitude; });
    if (peaks.size() > count)
        peaks.resize(count);
    return peaks;
}

} // namespace analysis
