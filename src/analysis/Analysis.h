// The periodic-error analysis of one recording: drift per run, the spectrum, the worm period (found or given,
// refined by a harmonic fit), the folded curve and the figures per cycle and for the whole file.
// Used by qel-te-analyze and the analysis window.
#pragma once

#include "analysis/Components.h"
#include "analysis/Folding.h"
#include "analysis/HarmonicModel.h"
#include "analysis/Periodogram.h"
#include "analysis/RecordReader.h"

#include <optional>
#include <string>
#include <vector>

namespace analysis {

struct AnalysisOptions {
    std::optional<double> period; // s, given by the operator; otherwise found
    double minPeriod = 60.0;      // s, range searched for the worm period
    double maxPeriod = 1200.0;
    int harmonics = 4;           // fundamental and harmonics in the fit (prewhitening may add more)
    std::size_t phaseBins = 128; // most bins of the folded curve (fewer when readings are sparse)
    std::size_t cycleBins = 64;  // most bins of each cycle's curve
    double minTrustedCycles = 2.0;
    double minSignalToNoise = 4.0;  // a component is listed when it stands this far above the local noise
    std::string guideLog;           // a guide log: the pulses sent are added back (analyzeFile only)
    std::size_t maxComponents = 10; // found by prewhitening, besides the worm's first harmonics
    double minComponentAmplitude = 0.02; // arcsec: smaller components are not looked for
};

struct HarmonicFigure {
    int order = 1;               // 1 = fundamental
    double period = 0.0;         // s
    double amplitude = 0.0;      // arcsec
    double amplitudeError = 0.0; // arcsec, standard error
    double phase = 0.0;          // degrees, of a sine starting at the first reading
};

// A periodic component that stands clear of the residual's noise.
struct ComponentFigure {
    double period = 0.0, periodError = 0.0;       // s; the error is 0 for a worm harmonic of a given period
    double amplitude = 0.0, amplitudeError = 0.0; // arcsec
    double phase = 0.0;                           // degrees, of a sine starting at the first reading
    double varianceShare = 0.0;                   // of the drift-removed readings' variance, 0 .. 1
    double signalToNoise = 0.0;                   // amplitude over the residual's local mean amplitude
    int wormHarmonic = 0;   // k: within one resolution width (1 / span) of k x the worm's frequency; 0: not
    double wormRatio = 0.0; // worm period / this period; 0 without a worm period
};

// What the drift-removed readings keep after a correction that takes out the worm harmonics `orders`.
struct CorrectionFigure {
    std::vector<int> orders; // the worm's harmonics taken out
    double rms = 0.0;        // arcsec, about the mean
};

// What the guide log added back (Analysis::guide).
struct GuideFigures {
    std::string file;
    std::uint64_t sent = 0, refused = 0, skipped = 0, badLines = 0;
    std::string firstBadLine;               // "line 7: cut short"
    double net = 0.0;                       // arcsec moved in all, East + and West -
    double firstLine = 0.0, lastLine = 0.0; // s (as Recording::seconds), the log's first and last line
};

struct RunFigure {
    double start = 0.0, end = 0.0; // s (as Recording::seconds)
    std::size_t readings = 0;
    double driftRate = 0.0; // arcsec per minute
};

// What the figures rest on, in arrays ready to plot.
struct AnalysisSeries {
    std::vector<double> minutes;      // since the first reading
    std::vector<double> driftRemoved; // arcsec, readings averaged into short bins
    std::vector<double> fit;          // arcsec, the worm's harmonics and the components at the same times
    Spectrum spectrum;                // of the readings less a line per run
    Spectrum residualSpectrum;        // of what the full model leaves
    std::vector<double> threshold;    // arcsec at residualSpectrum's points: what a component must reach
    FoldedCurve folded;               // at AnalysisOptions::phaseBins
    FoldedCurve foldedCoarse;         // at the cycles' bins
    std::vector<CycleCurve> cycles;
};

struct Analysis {
    std::string fileName;
    bool hasPeriod = false; // false: no period found and none given; fold figures are absent
    double period = 0.0;    // s
    bool periodGiven = false;
    bool periodTrusted = false;    // given, or found from at least minTrustedCycles cycles
    double cycles = 0.0;           // recorded time / period
    double spectrumPeriod = 0.0;   // s, the spectrum's peak before refinement
    double periodError = 0.0;      // s, standard error of a period found (0 when given)
    double periodErrorScale = 1.0; // how much the residual's noise near the worm's frequencies widened it
    std::vector<HarmonicFigure> harmonics;
    std::vector<ComponentFigure> components;                // strongest first
    double shortestComponent = 0.0, longestComponent = 0.0; // s, the periods searched for components
    double minSignalToNoise = 4.0;
    double minComponentAmplitude = 0.02;     // arcsec
    double correctedRms = 0.0;               // arcsec, with every fitted worm harmonic taken out
    std::vector<CorrectionFigure> strongest; // the strongest 1, 2, 3 harmonics taken out
    double foldedPeakToPeak = 0.0;           // arcsec
    double foldedRms = 0.0;                  // arcsec
    double rms = 0.0;                        // arcsec, drift-removed readings about their mean
    double maxExcursion = 0.0; // arcsec, largest distance of a drift-removed reading from the mean
    double driftRate = 0.0;    // arcsec per minute, runs weighted by their length
    std::size_t clipped = 0;   // readings at the unit's range limits (codes 0 and 255)
    std::size_t readings = 0;
    long wholeCycles = 0; // whole worm turns within the runs (each run counted on its own)
    double recordedSeconds = 0.0;
    double firstReading = 0.0, lastReading = 0.0; // s (as Recording::seconds)
    std::int64_t firstDayNumber = 0;
    double readingRate = 0.0;
    std::vector<RunFigure> runs;
    std::optional<GuideFigures> guide; // set when the readings are the guided ones plus the pulses
    std::vector<BadLine> badLines;
    std::uint64_t badLineCount = 0;
    AnalysisSeries series;
};

struct AnalysisResult {
    Analysis analysis;
    std::string error; // empty on success
    bool cancelled = false;
};

Analysis analyzeRecording(const Recording& rec, const AnalysisOptions& options = {});

// Reads and analyzes one file; reading takes the first 90 % of the progress.
AnalysisResult analyzeFile(const std::string& path, const AnalysisOptions& options = {},
                           const ReadOptions& readOptions = {}, const Progress& progress = {});

} // namespace analysis
