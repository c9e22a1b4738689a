// The amplitude spectrum of a recording's drift-removed readings, gaps and all: readings on a uniform time
// grid (empty cells weigh nothing), transformed with FFTW. Used by the analysis to find the worm period.
#pragma once

#include "analysis/HarmonicModel.h"

#include <vector>

namespace analysis {

struct Spectrum {
    std::vector<double> period;    // s, falling (rising frequency)
    std::vector<double> amplitude; // arcsec: a sine of amplitude A at that period shows as about A
};

struct SpectralPeak {
    double period = 0.0;    // s, interpolated between grid points
    double amplitude = 0.0; // arcsec
};

// The spectrum between `shortestPeriod` and `longestPeriod` (s) of `residual` (one value per bin of
// `bins`, arcsec), oversampled four times beyond the resolution 1 / span.
Spectrum amplitudeSpectrum(const BinnedSeries& bins, const std::vector<double>& residual,
                           double shortestPeriod, double longestPeriod);

// The mean amplitude and power of `spectrum` around each of its points, from half to twice the point's
// frequency f but at least `least` Hz each side (f - max(f / 2, least) .. f + max(f, least)), leaving out the
// points within `gap` Hz of the `excluded` frequencies (components already fitted, whose notch would lower
// the mean). A band even in the logarithm of the frequency keeps the mean of a red spectrum (power falling as
// 1 / f^2, as a mount's slow wander does) near its value at f. Zero where nothing is left.
struct LocalMean {
    std::vector<double> amplitude; // arcsec
    std::vector<double> power;     // arcsec^2, mean of the squared amplitude
};
LocalMean localMean(const Spectrum& spectrum, double least, const std::vector<double>& excluded, double gap);

// The mean of `values` (one per point of `spectrum`) over the same bands, taking only the points where `kept`
// is not 0.
std::vector<double> bandMean(const Spectrum& spectrum, const std::vector<double>& values,
                             const std::vector<char>& kept, double least);

// At each point of `spectrum` (made from `bins`), the share of a sinusoid of that frequency that a
// least-squares fit with the columns `basis` takes in: 0 far from what is fitted, near 1 at a fitted
// frequency. The columns are orthonormal in the bins' weighted space and given as weights on the bins' values
// (column / sqrt(weight) times the weight). A residual's power there is its noise's times (1 - share).
std::vector<double> absorbedShare(const BinnedSeries& bins, const std::vector<std::vector<double>>& basis,
                                  const Spectrum& spectrum);

// The variance of an estimate sum g[i] * (value of bin i) under noise of the mean power `power` (arcsec^2, at
// the points of `s`) over its variance under white noise of mean power `white`: the noise's power averaged
// over the frequencies the estimate listens to, weighted by |sum g e^(-i 2 pi f t)|^2. 1 when it cannot be
// told.
double colouredShare(const BinnedSeries& bins, const std::vector<double>& g, const Spectrum& s,
                     const std::vector<double>& power, double white);

// The index of the spectrum's point nearest to `frequency` (Hz); the spectrum must not be empty.
std::size_t nearestPoint(const Spectrum& spectrum, double frequency);

// Local maxima, strongest first, at most `count`, restricted to periods in [minPeriod, maxPeriod] (s).
std::vector<SpectralPeak> spectralPeaks(const Spectrum& spectrum, std::size_t count, double minPeriod,
                                        double maxPeriod);

} // namespace analysis
