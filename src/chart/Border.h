// The four further settings of the chart and of a text box: the outline drawn around it.
//   style   0 = solid, 1 = dashed, 2 = dotted.
//   width   line width in pixels; 0 = the control's default, 1 pixel.
//   colour  Argb.
//   margin  pixels between the outline and what it surrounds; 0 = the control's default (chart: 0, text box:
//   3).
// Whether the outline is drawn at all is the owner's style setting (ChartSettings.h, TextBox.h).
#pragma once

#include "chart/Argb.h"

namespace chart {

struct Border {
    int style = 0;
    int width = 0;
    Argb colour = colours::white;
    int margin = 0;
};

} // namespace chart
