// The least-squares model of a recording: a low-order polynomial per run (the drift) plus the worm period's
// fundamental and harmonics. Fitted with Eigen on readings averaged into short bins. Used by the analysis.
#pragma once

#include "analysis/Recording.h"

#include <vector>

namespace analysis {

// Readings averaged into bins of one run each; only bins that hold readings.
struct BinnedSeries {
    std::vector<double> seconds; // mean time of the bin's readings, s (as Recording::seconds)
    std::vector<double> value;   // mean tracking error, arcsec
    std::vector<double> weight;  // readings in the bin
    std::vector<Run> runs;       // bin ranges, one per run of the recording
    double binWidth = 1.0;       // s
};

// `values[i]` belongs to recording reading i (arcsec).
BinnedSeries binReadings(const Recording& rec, const std::vector<double>& values, double binWidth);

// One run's drift: a polynomial in u = (t - center) / halfSpan.
struct RunDrift {
    double center = 0.0;
    double halfSpan = 1.0;
    std::vector<double> coefficients; // arcsec, lowest order first
    double at(double seconds) const;
};

struct ModelFit {
    bool ok = false;
    double period = 0.0;     // s; 0: drift only
    double timeOrigin = 0.0; // s; phase 0 of the harmonics
    std::vector<double> cosine,
        sine;                     // arcsec, harmonic k + 1 = a cos + b sin of (k + 1) 2 pi (t - origin) / P
    std::vector<RunDrift> drift;  // one per run
    double residualSquares = 0.0; // weighted, arcsec^2

    double periodicAt(double seconds) const;
    double amplitude(std::size_t k) const;    // arcsec, half the peak to peak of harmonic k + 1
    double phaseDegrees(std::size_t k) const; // of a sine: A sin((k+1) w t + phase)
};

// Fits drift (polynomial of `degrees[r]` for run r) plus `harmonics` harmonics of `period` (none when
// period <= 0) by weighted least squares.
ModelFit fitModel(const BinnedSeries& bins, double period, int harmonics, const std::vector<int>& degrees,
                  double timeOrigin);

} // namespace analysis
