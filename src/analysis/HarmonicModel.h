// The least-squares model of a recording: a low-order polynomial per run (the drift) plus sinusoids, the worm
// period's harmonics and components of their own frequency. Fitted with Eigen on readings averaged into short
// bins: linearly for given frequencies, or with the frequencies refined (Gauss-Newton), which also gives the
// standard errors. Used by the analysis.
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

    double readings() const; // sum of the weights
    double span() const;     // s, first bin to last
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

// One sinusoid of the model: the worm's harmonic `order` (frequency order / period) or, with order 0, a
// component of its own frequency.
struct Term {
    int order = 0;
    double frequency = 0.0;          // Hz
    double cosine = 0.0, sine = 0.0; // arcsec: cosine cos x + sine sin x, x = 2 pi frequency (t - origin)
    double amplitudeError = 0.0;     // arcsec, standard error; 0 when not estimated
    double frequencyError = 0.0;     // Hz, standard error; 0 when not estimated or fixed

    double amplitude() const;    // arcsec, half the peak to peak
    double phaseDegrees() const; // of a sine: amplitude sin(x + phase), -180 .. 180
    double at(double seconds, double origin) const;
};

// Which sinusoids to fit.
struct ModelShape {
    double period = 0.0;             // s, the worm's; its harmonics are order / period
    std::vector<int> orders;         // the worm's harmonics fitted (none when period <= 0)
    std::vector<double> frequencies; // Hz, components of their own
};

struct ModelFit {
    bool ok = false;
    double period = 0.0;          // s; 0: no worm harmonics
    double periodError = 0.0;     // s, standard error; 0 when the period was fixed or not estimated
    double timeOrigin = 0.0;      // s; phase 0 of the sinusoids
    std::vector<Term> terms;      // the worm's harmonics first (in the shape's order), then the components
    std::vector<RunDrift> drift;  // one per run
    double residualSquares = 0.0; // weighted by readings, arcsec^2
    double readingVariance = 0.0; // arcsec^2 per reading: residualSquares / (bins - parameters)
    std::size_t parameters = 0;

    double periodicAt(double seconds) const; // arcsec, the worm's harmonics
    double otherAt(double seconds) const;    // arcsec, the components that are not worm harmonics
    double driftAt(std::size_t run, double seconds) const;
    ModelShape shape() const;
};

// Fits drift (polynomial of `degrees[r]` for run r) plus the shape's sinusoids at their given frequencies by
// weighted least squares. No standard errors.
ModelFit fitModel(const BinnedSeries& bins, const ModelShape& shape, const std::vector<int>& degrees,
                  double timeOrigin);

// How the refined estimates follow the bins' values: an estimate moves by sum g[i] * (change of bin i's
// value). For telling what coloured noise does to them (see colouredShare).
struct Influence {
    std::vector<double> period;                 // empty when the period was fixed or there is none
    std::vector<std::vector<double>> amplitude; // per term of the fit
    std::vector<std::vector<double>> frequency; // per term; empty for the worm's harmonics
    // What the fit can take in: an orthonormal basis of its columns, as weights on the bins' values (see
    // absorbedShare).
    std::vector<std::vector<double>> basis;
};

// The same with the frequencies refined by Gauss-Newton from the shape's: the worm's period (unless
// `periodFixed`) and every component's frequency. Standard errors from the fit's covariance scaled by the
// residual's variance per reading (white noise; the caller widens them when the residual is not white).
// Not ok when the fit fails; the frequencies move by at most about one resolution width (1 / span).
ModelFit refineModel(const BinnedSeries& bins, const ModelShape& shape, const std::vector<int>& degrees,
                     double timeOrigin, bool periodFixed, Influence* influence = nullptr);

} // namespace analysis
