// The plotting library under Chart1, as other subsystems may know it: its version only (the About box names
// it). Keeps qcustomplot.h inside the chart library.
#pragma once

#include <string>

namespace chart {

// The version of QCustomPlot the chart was built against, e.g. "2.1.1".
std::string plottingLibraryVersion();

} // namespace chart
