// Stand-in until the chart control lands.
#include "chart/Chart.h"
