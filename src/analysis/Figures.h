// The analysis as text: the figures one per line (qel-te-analyze prints them, the analysis window's table
// shows them), the folded curve as CSV, and two analyses side by side.
#pragma once

#include "analysis/Analysis.h"

#include <string>
#include <vector>

namespace analysis {

struct Figure {
    std::string label; // "Worm period"
    std::string value; // "479.87 s"
};

// Starts with "Worm period". Bad lines are listed up to `badLinesListed`.
std::vector<Figure> figures(const Analysis& a, std::size_t badLinesListed = 20);

// What a look at a followed record file found, in a few words: "4 whole turns, worm period 480.08 s ± 0.44
// s".
std::string followSummary(const Analysis& a);

// "label: value" per figure, each ended by '\n'.
std::string figureText(const std::vector<Figure>& list);

// Header "phase_s,phase_deg,mean_arcsec,spread_arcsec", one row per phase bin over one period; the bin's
// centre; "." as decimal point; empty fields for a bin without readings.
std::string foldedCsv(const FoldedCurve& folded);

// Before and after: each figure of both and the ratio after / before.
std::vector<Figure> comparison(const Analysis& before, const Analysis& after);

// A number with `decimals` digits after ".", whatever the locale.
std::string fixed(double value, int decimals);

// "359.00 s ± 0.12 s" (unit "s"; "3.00 ± 0.02" without one): the value and its standard error with `decimals`
// digits, more when the error needs them for two significant digits (at most six).
std::string withError(double value, double error, int decimals, const std::string& unit = {});

// "2013-Jan-05 21:14:07" for `seconds` after the midnight that begins day `dayNumber` (days since
// 1970-01-01).
std::string dateTimeText(std::int64_t dayNumber, double seconds);

} // namespace analysis
