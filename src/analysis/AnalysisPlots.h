// The analysis's three plots, filled the same way in the analysis window and in the report: the drift-removed
// series with the harmonic fit, the spectrum with its peaks labelled, and the folded curve with the cycles
// behind it.
#pragma once

#include "analysis/Analysis.h"
#include "chart/SeriesPlot.h"

namespace analysis {

void plotSeries(chart::SeriesPlot& plot, const Analysis& a);
void plotSpectrum(chart::SeriesPlot& plot, const Analysis& a);
void plotFolded(chart::SeriesPlot& plot, const Analysis& a);

} // namespace analysis
