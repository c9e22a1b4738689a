// The analysis's three plots, filled the same way in the analysis window and in the report: the drift-removed
// series with the fitted model, the spectrum with the components that stand clear of the noise labelled, and
// the folded curve with each worm turn behind it in its own colour.
#pragma once

#include "analysis/Analysis.h"
#include "analysis/AnalysisColours.h"
#include "chart/SeriesPlot.h"

namespace analysis {

void plotSeries(chart::SeriesPlot& plot, const Analysis& a, const PlotColours& colours);
void plotSpectrum(chart::SeriesPlot& plot, const Analysis& a, const PlotColours& colours);
void plotFolded(chart::SeriesPlot& plot, const Analysis& a, const PlotColours& colours);

} // namespace analysis
