// Prewhitening as in variable-star work, with the S/N >= 4 stop: a candidate is fitted first and judged
// against the spectrum of what is left, so that its own sidelobes do not count as its noise. The standard
// errors are widened as a sandwich estimate in the frequency domain: the noise power the residual shows
// (corrected for what the fit takes in) averaged over the frequencies each estimate listens to.
#include "analysis/Components.h"

#include <algorithm>
#include <cmath>

namespace analysis {
namespace {

std::vector<double> frequencies(const ModelFit& fit) {
    std::vector<double> f;
    for (const Term& t : fit.terms)
        f.push_back(t.frequency);
    return f;
}

struct Judged {
    Spectrum residual;
    LocalMean mean;
};

Judged judge(const BinnedSeries& bins, const ModelFit& fit, const ComponentSearch& search, double span) {
    Judged j;
    const double longest = std::max(2.0 * search.shortestPeriod, std::min(span, 2.0 * search.longestPeriod));
    j.residual = amplitudeSpectrum(bins, residualOf(bins, fit), search.shortestPeriod, longest);
    j.mean = localMean(j.residual, search.noiseLeast / span, frequencies(fit), 1.0 / span);
    return j;
}

double noiseAt(const Judged& j, double frequency) {
    return j.residual.period.empty() ? 0.0 : j.mean.amplitude[nearestPoint(j.residual, frequency)];
}

double signalToNoise(const Judged& j, const Term& t) {
    const double noise = noiseAt(j, t.frequency);
    return noise > 0.0 ? t.amplitude() / noise : INFINITY;
}

} // namespace

std::vector<double> residualOf(const BinnedSeries& bins, const ModelFit& fit) {
    std::vector<double> r(bins.value.size(), 0.0);
    for (std::size_t run = 0; run < bins.runs.size(); ++run)
        for (std::size_t i = bins.runs[run].first; i < bins.runs[run].end; ++i) {
            const double t = bins.seconds[i];
            r[i] = bins.value[i] - fit.driftAt(run, t) - fit.periodicAt(t) - fit.otherAt(t);
        }
    return r;
}

ComponentFit findComponents(const BinnedSeries& bins, const ModelFit& wormFit,
                            const std::vector<int>& degrees, bool periodFixed,
                            const ComponentSearch& search) {
    ComponentFit out;
    out.fit = wormFit;
    const double span = std::max(bins.span(), 1.0);
    const double gap = 1.0 / span;
    const double longest = std::min(search.longestPeriod, span / search.leastCycles);
    Judged judged = judge(bins, out.fit, search, span);

    for (std::size_t added = 0; added < search.most && !judged.residual.period.empty(); ++added) {
        // The candidate: the peak standing highest above its surroundings, away from what is fitted.
        const std::vector<double> fitted = frequencies(out.fit);
        double best = 0.0, bestRatio = 0.0;
        for (const SpectralPeak& p :
             spectralPeaks(judged.residual, judged.residual.period.size(), search.shortestPeriod, longest)) {
            const double f = 1.0 / p.period;
            if (std::any_of(fitted.begin(), fitted.end(), [&](double x) { return std::abs(f - x) < gap; }))
                continue;
            const double noise = noiseAt(judged, f);
            const double ratio = noise > 0.0 ? p.amplitude / noise : 0.0;
            if (ratio > bestRatio) {
                bestRatio = ratio;
                best = f;
            }
        }
        if (best <= 0.0)
            break;

        ModelShape shape = out.fit.shape();
        const double wormFrequency = out.fit.period > 0.0 ? 1.0 / out.fit.period : 0.0;
        const long order = wormFrequency > 0.0 ? std::lround(best / wormFrequency) : 0;
        const bool harmonic = order >= 1 && std::abs(best - static_cast<double>(order) * wormFrequency) < gap;
        if (harmonic)
            shape.orders.push_back(static_cast<int>(order));
        else
            shape.frequencies.push_back(best);
        ModelFit trial = refineModel(bins, shape, degrees, out.fit.timeOrigin, periodFixed);
        if (!trial.ok)
            break;
        // The new term is the last of its kind (worm harmonics come first); it must stay clear of the others
        // and stand above the noise.
        const std::size_t fresh = harmonic ? shape.orders.size() - 1 : trial.terms.size() - 1;
        const Term& newTerm = trial.terms[fresh];
        bool crowded = false;
        for (std::size_t k = 0; k < trial.terms.size(); ++k)
            crowded = crowded || (k != fresh && std::abs(trial.terms[k].frequency - newTerm.frequency) < gap);
        Judged next = judge(bins, trial, search, span);
        if (crowded || newTerm.amplitude() < search.minAmplitude ||
            signalToNoise(next, newTerm) < search.minSignalToNoise)
            break;
        out.fit = std::move(trial);
        judged = std::move(next);
    }

    // The errors, widened for a residual that is not white: once more with the estimates' influences.
    Influence influence;
    ModelFit refitted =
        refineModel(bins, out.fit.shape(), degrees, out.fit.timeOrigin, periodFixed, &influence);
    if (refitted.ok && refitted.terms.size() == out.fit.terms.size())
        out.fit = std::move(refitted);
    else
        influence = {};
    // White noise of the reading variance shows in the amplitude spectrum as a mean power of 4 sigma^2 / N.
    const double white = 4.0 * out.fit.readingVariance / std::max(bins.readings(), 1.0);
    // The noise's power, from what the fit leaves where it takes in less than 80 % of a sinusoid, corrected
    // for what it takes in there (a residual is quieter than its noise near what was fitted and near 0 Hz).
    // One transform per column of the fit: with very many (dozens of runs, each with its drift) the plain
    // local mean, notches left out, has to do.
    std::vector<double> noisePower = judged.mean.power;
    if (influence.basis.size() <= 80) {
        const std::vector<double> absorbed = absorbedShare(bins, influence.basis, judged.residual);
        std::vector<double> corrected(noisePower.size());
        std::vector<char> kept(noisePower.size());
        for (std::size_t i = 0; i < kept.size(); ++i) {
            kept[i] = absorbed[i] < 0.8;
            const double a = judged.residual.amplitude[i];
            corrected[i] = kept[i] ? a * a / (1.0 - absorbed[i]) : 0.0;
        }
        noisePower = bandMean(judged.residual, corrected, kept, search.noiseLeast / span);
    }
    const auto widen = [&](const std::vector<double>& g) {
        return g.empty()
                   ? 1.0
                   : std::sqrt(std::max(1.0, colouredShare(bins, g, judged.residual, noisePower, white)));
    };
    for (std::size_t k = 0; k < out.fit.terms.size(); ++k) {
        Term& t = out.fit.terms[k];
        out.signalToNoise.push_back(signalToNoise(judged, t));
        if (k < influence.amplitude.size())
            t.amplitudeError *= widen(influence.amplitude[k]);
        if (t.order == 0 && k < influence.frequency.size())
            t.frequencyError *= widen(influence.frequency[k]);
    }
    out.periodErrorScale = widen(influence.period);
    out.fit.periodError *= out.periodErrorScale;
    for (Term& t : out.fit.terms)
        if (t.order > 0)
            t.frequencyError *= out.periodErrorScale;
    out.residual = std::move(judged.residual);
    out.noise = std::move(judged.mean.amplitude);
    return out;
}

} // namespace analysis
