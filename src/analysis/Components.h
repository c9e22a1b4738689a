// The periodic components of a recording, found one by one in the residual's spectrum after the worm's
// harmonics are fitted (prewhitening): the strongest peak is fitted, every component is refitted together
// with the drift and the worm, and the search goes on while the new component stands clear of the
// residual's noise. Also widens the standard errors where the residual is not white. Used by the analysis.
#pragma once

#include "analysis/HarmonicModel.h"
#include "analysis/Periodogram.h"

#include <vector>

namespace analysis {

struct ComponentSearch {
    double minSignalToNoise = 4.0; // a component's amplitude over the residual's local mean amplitude
    double minAmplitude = 0.02;    // arcsec: smaller ones are not looked for (the unit's step is 0.125)
    double noiseLeast = 2.0;       // resolution widths (1 / span): the least band each side for that mean
    std::size_t most = 10;         // components added at most
    double shortestPeriod = 8.0;   // s, the range searched
    double longestPeriod = 1200.0; // s
    double leastCycles = 4.0;      // a component repeats at least this often in the span (slower: drift)
};

struct ComponentFit {
    ModelFit fit;                      // the worm's harmonics and the components found, refitted together
    std::vector<double> signalToNoise; // per term of fit.terms: amplitude / local mean amplitude
    Spectrum residual;                 // the spectrum of what the fit leaves
    std::vector<double> noise;         // arcsec, the local mean amplitude at each point of `residual`
    double periodErrorScale = 1.0;     // factor on the period's white-noise standard error (>= 1)
};

// Starts from `wormFit` (drift and worm harmonics, refined); `periodFixed`: the operator gave the period.
// A peak within one resolution width of a multiple of the worm's frequency joins as that harmonic. The noise
// for S/N is the residual's local mean amplitude (see localMean). The fit's standard errors assume white
// noise of the residual's variance; each is widened by the square root of the noise power around the
// frequencies that estimate depends on over the white level (never narrowed): the mount's slow wander puts
// far more noise near the worm's period than its average.
ComponentFit findComponents(const BinnedSeries& bins, const ModelFit& wormFit,
                            const std::vector<int>& degrees, bool periodFixed, const ComponentSearch& search);

// What the fit leaves in each bin (arcsec).
std::vector<double> residualOf(const BinnedSeries& bins, const ModelFit& fit);

} // namespace analysis
