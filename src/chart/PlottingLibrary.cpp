// The plotting library's version, from the header the chart was built with.
#include "chart/PlottingLibrary.h"

#include <qcustomplot.h>

namespace chart {

std::string plottingLibraryVersion() {
    return QCUSTOMPLOT_VERSION_STR;
}

} // namespace chart
