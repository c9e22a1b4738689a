// Chart1's vocabulary in Qt terms: colours for screen or paper, fonts in chart pixels, the line, hatch and
// symbol codes, region geometry, and copying series values into a graph. Private to the chart control.
#pragma once

#include "chart/Argb.h"
#include "chart/Border.h"
#include "chart/PlotMapping.h"

#include <qcustomplot.h>

#include <vector>

namespace chart {

class Region;

QColor background(Argb colour, Look look);
QColor ink(Argb colour, Look look);

// Font sizes are points at 96 dpi turned into chart pixels, so text keeps its size relative to the chart on
// any device the chart is scaled onto (a printer at 1200 dpi, a PDF page, an image).
QFont chartFont(const QString& family, double points, bool bold = false);

// Line style codes: 0 or 1 solid, 2 dashed, 3 dotted, 4 dash-dot, 5 none.
Qt::PenStyle lineStyle(int code);
QPen borderPen(const Border& border, Look look);
// Grid lines: the axis colour at the given opacity (0..255).
QColor gridColour(Argb lineColour, Look look, int alpha);
// Hatch codes of LineSeries.h.
Qt::BrushStyle hatchStyle(int code);
// Symbol codes of LineSeries.h.
QCPScatterStyle::ScatterShape symbolShape(int code);

// Copies the values into the graph at x = 0, 1, 2, ...; reuses the points when the count is unchanged (the
// usual live update).
void setGraphValues(QCPGraph& graph, const std::vector<double>& values);

// The region's rectangle in chart pixels: sizes of 0 or less are distances kept from the right or bottom
// edge.
QRect regionRect(const Region& region, QSize chart);

} // namespace chart
