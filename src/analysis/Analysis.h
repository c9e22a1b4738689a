// The periodic-error analysis of one recording: drift per run, the spectrum, the worm period (found or given,
// refined by a harmonic fit), the folded curve and the figures per cycle and for the whole file.
// Used by qel-te-analyze and the analysis window.
#pragma once

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
    int harmonics = 4;           // fundamental and harmonics in the fit
    std::size_t phaseBins = 128; // most bins of the folded curve (fewer when readings are sparse)
    std::size_t cycleBins = 64;  // most bins of each cycle's curve
    double minTrustedCycles = 2.0;
};

struct HarmonicFigure {
    int order = 1;          // 1 = fundamental
    double period = 0.0;    // s
    double amplitude = 0.0; // arcsec
    double phase = 0.0;     // degrees, of a sine starting at the first reading
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
    std::vector<double> fit;          // arcsec, the harmonic fit at the same times
    Spectrum spectrum;
    FoldedCurve folded;       // at AnalysisOptions::phaseBins
    FoldedCurve foldedCoarse; // at the cycles' bins
    std::vector<CycleCurve> cycles;
};

struct Analysis {
    std::string fileName;
    bool hasPeriod = false; // false: no period found and none given; fold figures are absent
    double period = 0.0;    // s
    bool periodGiven = false;
    bool periodTrusted = false;  // given, or found from at least minTrustedCycles cycles
    double cycles = 0.0;         // recorded time / period
    double spectrumPeriod = 0.0; // s, the spectrum's peak before refinement
    std::vector<HarmonicFigure> harmonics;
    std::vector<SpectralPeak> peaks;
    double foldedPeakToPeak = 0.0; // arcsec
    double foldedRms = 0.0;        // arcsec
    double rms = 0.0;              // arcsec, drift-removed readings about their mean
    double maxExcursion = 0.0;     // arcsec, largest distance of a drift-removed reading from the mean
    double driftRate = 0.0;        // arcsec per minute, runs weighted by their length
    std::size_t clipped = 0;       // readings at the unit's range limits (codes 0 and 255)
    std::size_t readings = 0;
    double recordedSeconds = 0.0;
    double firstReading = 0.0, lastReading = 0.0; // s (as Recording::seconds)
    std::int64_t firstDayNumber = 0;
    double readingRate = 0.0;
    std::vector<RunFigure> runs;
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
