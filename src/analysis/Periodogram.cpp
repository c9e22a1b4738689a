// A weighted, zero-padded real FFT: amplitude(f) = 2 |sum w y e^(-i 2 pi f t)| / sum w, which is the
// least-squares sine amplitude for data without gaps and a fair guide with them.
#include "analysis/Periodogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
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

} // namespace

Spectrum amplitudeSpectrum(const BinnedSeries& bins, const std::vector<double>& residual,
                           double shortestPeriod, double longestPeriod) {
    Spectrum spectrum;
    if (bins.seconds.size() < 4)
        return spectrum;
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
    double totalWeight = 0.0;
    for (std::size_t i = 0; i < bins.seconds.size(); ++i) {
        const auto c = static_cast<std::size_t>(std::lround((bins.seconds[i] - start) / cell));
        in.get()[std::min(c, cells - 1)] += bins.weight[i] * residual[i];
        totalWeight += bins.weight[i];
    }
    fftw_execute(plan);
    {
        const std::lock_guard lock(plannerMutex());
        fftw_destroy_plan(plan);
    }

    const double df = 1.0 / (static_cast<double>(n) * cell);
    const std::size_t kLow = std::max<std::size_t>(1, static_cast<std::size_t>(1.0 / (longestPeriod * df)));
    const std::size_t kHigh =
        std::min(n / 2, static_cast<std::size_t>(std::ceil(1.0 / (shortestPeriod * df))));
    for (std::size_t k = kLow; k <= kHigh; ++k) {
        const std::complex<double> z(out.get()[k][0], out.get()[k][1]);
        spectrum.period.push_back(1.0 / (static_cast<double>(k) * df));
        spectrum.amplitude.push_back(2.0 * std::abs(z) / totalWeight);
    }
    return spectrum;
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
