// What a charted reading changes on the chart besides the trace: the rate caption (chart text box 1), the
// value-axis limits, and the statistics texts (Label5 and chart text box 2). Texts are UTF-8.
#pragma once

#include "acquisition/ReadingRoute.h"

#include <string>

namespace acquisition {

// Chart text box 1: "1.0 Hz, 120 Seconds Range, 10 Seconds/Division" at the slow rate,
// "5.0 Hz, 24 Seconds Range, 2 Seconds/Division" at the fast rate (displaySamples 120). Empty for None.
std::string rateCaption(ChartRate rate, int displaySamples);

// The statistics texts' RMS figure is teStdDev divided by this: 2 * sqrt(2), written as the recorder has
// always written it, so that figures agree with records made before.
inline constexpr double kRmsDivisor = 2.828427125;

// Label5: "TE: <mean> ±<95% PI> arcsecond 95% PI, <RMS> RMS", figures with three decimals, where the
// 95 % prediction interval is 2 * teStdDev and the RMS figure teStdDev / kRmsDivisor.
void appendStatisticsLabel(std::string& out, double teMean, double teStdDev);

// Chart text box 2: "TE: <mean> ±<95% PI> arcsecond, 95% PI, <RMS> arcsecond RMS".
void appendStatisticsCaption(std::string& out, double teMean, double teStdDev);

// Both texts at once, each figure formatted once.
void appendStatisticsTexts(std::string& label, std::string& caption, double teMean, double teStdDev);

// The value axis' extremes seen since Start, arcseconds; they only widen during a recording run.
struct AxisLimits {
    double scaleHigh = 16.0;
    double scaleLow = -16.0;
};

// A value-axis limit to set on the chart.
struct AxisChange {
    enum class Limit { None, Minimum, Maximum };
    Limit limit = Limit::None;
    double value = 0.0; // the axis limit: 1.2 times the new extreme
};

// Widens limits for a charted reading te: a new low sets the minimum, otherwise a new high the maximum,
// each to 1.2 times the new extreme. Within the initial +-16 nothing changes.
AxisChange widenAxis(AxisLimits& limits, double te);

} // namespace acquisition
