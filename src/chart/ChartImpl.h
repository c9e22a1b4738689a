// Inside of Chart1 (Chart.h): its content, the plot widget and the redraw pacing. Private to the chart
// control.
#pragma once

#include "chart/Chart.h"
#include "chart/ChartContent.h"
#include "chart/PlotMapping.h"

#include <QElapsedTimer>
#include <QTimer>

class QCustomPlot;

namespace chart {

class Chart::Impl {
public:
    explicit Impl(Chart& owner);

    // Applies the content and redraws at once.
    void drawNow();
    // Asks for a redraw no sooner than redrawIntervalMs (at least one screen refresh) after the last one;
    // repeated asks are merged.
    void scheduleDraw();
    void showContextMenu(const QPoint& position);

    Chart& owner;
    ChartContent content;
    QCustomPlot* plot; // child widget of owner
    PlotMapping mapping;
    QTimer drawTimer;
    QElapsedTimer sinceDraw;
    int redrawIntervalMs = 0;
    int drawCount = 0;
};

} // namespace chart
