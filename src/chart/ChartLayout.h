// The tracking-error chart's fixed layout: DoTheChart builds it on Chart1 from nothing. The window runs it at
// start-up and at every Start, so each recording run begins with a clean chart; what changes during a run
// (the trace, the value axis's limits, the two text boxes' texts) is set afterwards by the live display.
#pragma once

namespace chart {

class Chart;

inline constexpr int chartWidth = 889; // pixels; the control's size on the window
inline constexpr int chartHeight = 297;

// After it: region 1 holds the title "QEL Tracking Error (Arcseconds)", a black plotting area, value axis 1
// on the left ("Tracking Error", no limits set, so it autoscales) and the time axis at the bottom, and line
// series 1, red and empty; text box 1 reads "1.0 Hz, 120 Seconds Range" at (700, 5), text box 2 is empty at
// (580, 235). Everything of an earlier build is gone, limits and trace data included.
void DoTheChart(Chart& Chart1);

} // namespace chart
