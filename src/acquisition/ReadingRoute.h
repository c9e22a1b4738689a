// Which outputs one reading feeds: the rate counters and the selection rules of the receive path. Plain
// data in, plain data out; the ReadingProcessor applies the route, the window never decides it.
#pragma once

#include <string_view>

namespace acquisition {

// The window's controls as the receive path reads them, taken once per received chunk (no event runs
// between the readings of one chunk, so this is also their state at every reading).
struct AcquisitionOptions {
    std::string_view versionText; // List3's selected text; empty when nothing is selected
    bool check1Checked = false;   // "Display Tabular Data": live lines in Text1
    bool check2Checked = false;   // "Connect to ASCOM Driver": position texts kept, else "None"
    bool check3Enabled = false;   // "High Speed Record (Display)"
    bool check3Checked = false;
    bool check4Checked = false; // "Record to File"
};

// 5 Hz mode: the version text names the 5 Hz unit. Every other text is standard mode.
bool isFiveHzMode(const AcquisitionOptions& options);

// High-speed display: Check3 both enabled and checked.
constexpr bool isHighSpeedDisplay(const AcquisitionOptions& options) {
    return options.check3Enabled && options.check3Checked;
}

// The two rate counters that pick readings for the outputs. Both are 0 after Start, so the first reading
// of a recording run is number 1 for both.
struct RateCounters {
    // 1, 2, ..., 8, 1, 2, ... in every mode; 1 marks a slow-rate reading (one in eight).
    int slowRateCounter = 0;
    // Advanced with every reading; in 5 Hz mode set back to 1 whenever it is 2 or more, so there it is 1 at
    // every reading, also after a switch from standard mode in the middle of a run (a counter left past 2
    // would otherwise never return to 1, and nothing would be charted or recorded until the next Start). In
    // standard mode it is not consulted; it stops at kFastRatePast so that it cannot overflow.
    int fastRateCounter = 0;

    static constexpr int kFastRatePast = 3;

    // One reading arrived: advance both counters for the mode decided for this reading.
    void advance(bool fiveHzMode);
    bool isSlowRate() const { return slowRateCounter == 1; }
    bool isFastRate() const { return fastRateCounter == 1; }
};

enum class ChartRate {
    None, // the reading is not charted
    Slow, // one reading in eight, 15-reading sliding statistics
    Fast, // every reading (5 Hz mode, high-speed display), statistics over the sweep
};

// The outputs of one reading, in the order they are produced.
struct ReadingRoute {
    // Standard mode: record line, then live line, then the Text1 trimming check.
    // 5 Hz mode: live line and trimming check, then record line.
    bool recordFirst = true;
    bool liveLine = false;   // append a live line to Text1
    bool trimCheck = false;  // test Text1's length after the live-line step
    bool recordLine = false; // write a record line
    ChartRate chart = ChartRate::None;
};

// The route of a reading whose counters have already been advanced for it.
ReadingRoute routeReading(const AcquisitionOptions& options, const RateCounters& counters);

} // namespace acquisition
