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

// Local maxima, strongest first, at most `count`, restricted to periods in [minPeriod, maxPeriod] (s).
std::vector<SpectralPeak> spectralPeaks(const Spectrum& spectrum, std::size_t count, double minPeriod,
                                        double maxPeriod);

} // namespace analysis
