// The analysis window's two colour schemes: night, the recording window's red on black for eyes used to the
// dark (the default at the telescope), and day, the desktop's own colours with plots on white, which the
// report always uses for printing. Used by the window and the plots.
#pragma once

#include <QColor>
#include <QPalette>

#include <vector>

namespace analysis {

enum class ColourScheme { Night, Day };

struct PlotColours {
    QColor background, foreground, grid; // the plot itself: its area, axes and text, grid lines
    QColor readings, fit, band;          // series: drift-removed readings, the model, the fold's spread
    QColor spectrum, residual, threshold,
        label;                 // spectrum: readings, what the model leaves, S/N line, labels
    std::vector<QColor> turns; // one per worm turn in the fold, repeating
};

PlotColours plotColours(ColourScheme scheme);

// Night: red on black; day: `day` as it is.
QPalette windowPalette(ColourScheme scheme, const QPalette& day);

// Text that reports a failure.
QColor failureColour(ColourScheme scheme);

} // namespace analysis
