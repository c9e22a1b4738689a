// How often a control may repaint: never faster than the screen refreshes (its rate taken as 24 to 240 Hz,
// 60 Hz where the screen does not say), and never faster than the caller asks. Used by the chart's redraw
// pacing and the live display's panel.
#pragma once

#include <QScreen>

#include <algorithm>
#include <cmath>

namespace widgets {

inline int refreshIntervalMs(const QScreen* screen, int atLeastMs = 0) {
    const double rate = std::clamp(screen ? screen->refreshRate() : 60.0, 24.0, 240.0);
    return std::max(atLeastMs, static_cast<int>(std::ceil(1000.0 / rate)));
}

} // namespace widgets
