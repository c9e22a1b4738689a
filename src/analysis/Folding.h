// The drift-removed readings folded at the worm period: the mean curve with its spread per phase bin, and
// each worm cycle's own curve with its figures. Used by the analysis.
#pragma once

#include "analysis/Recording.h"

#include <vector>

namespace analysis {

struct FoldedCurve {
    double period = 0.0;            // s
    std::vector<double> mean;       // arcsec per phase bin; bin b covers phase [b, b + 1) / size
    std::vector<double> spread;     // arcsec, standard deviation of the readings in the bin
    std::vector<std::size_t> count; // readings per bin

    std::size_t bins() const { return mean.size(); }
    double peakToPeak() const; // arcsec, over the bins that hold readings
    double rms() const;        // arcsec, of the mean curve about its average
};

struct CycleCurve {
    long index = 0;            // worm turns since the first reading
    double start = 0.0;        // s (as Recording::seconds)
    double coverage = 0.0;     // share of phase bins that hold readings, 0 .. 1
    std::vector<double> mean;  // arcsec per phase bin; NaN where the cycle holds no reading
    double peakToPeak = 0.0;   // arcsec
    double rmsAboutMean = 0.0; // arcsec, against the folded mean at the same bins
};

// Folds `values` (arcsec, one per reading of `rec`) at `period` s, phase 0 at `origin` s, into `bins` bins.
FoldedCurve foldReadings(const Recording& rec, const std::vector<double>& values, double period,
                         double origin, std::size_t bins);

// Each worm cycle's curve at the bins of `folded` (a coarser fold of the same values).
std::vector<CycleCurve> cycleCurves(const Recording& rec, const std::vector<double>& values,
                                    const FoldedCurve& folded, double origin);

} // namespace analysis
