// The chart's sweep buffer and the tracking-error statistics. A sweep fills displayBuffer left to right;
// when it is full the next sweep overwrites it from the left. Used by the ReadingProcessor; the window
// hands displayBuffer to the chart trace.
#pragma once

#include "acquisition/ReadingRoute.h"

#include <vector>

namespace acquisition {

struct SweepState {
    // Points per sweep minus one: 120, 240, 480, 960 or 1920; 0 while no display size has been chosen.
    int displaySamples = 0;
    // The trace in arcseconds, indices 0 to displaySamples; empty while displaySamples is 0.
    std::vector<double> displayBuffer;
    // Index of the next charted reading = readings stored in the current sweep, 0 .. displaySamples + 1.
    int sampleCount = 0;
    // Statistics of the last 15 stored readings (slow rate) or of the whole sweep (fast rate), arcseconds.
    // Population figures: the divisor is the count of readings.
    double teSum = 0.0;
    double teMean = 0.0;
    double teSquareSum = 0.0; // sum of squared deviations from the mean
    double teStdDev = 0.0;
};

enum class SweepStep {
    Stored,      // the reading is in displayBuffer and the statistics are updated
    SweepClosed, // the sweep was full: statistics reset, the reading dropped, the next one starts at index 0
    NoBuffer,    // no display size chosen yet: nothing stored, nothing changed
};

class Sweep {
public:
    static constexpr int kSlowWindow = 15; // readings in the slow-rate statistics window

    // The display sizes the chart offers.
    static bool isDisplaySize(double samples);

    // A new display size was chosen (List2). A valid size creates displayBuffer anew with displaySamples + 1
    // zeros; any other number keeps the current size and buffer. In both cases the trace is cleared and the
    // statistics reset. Returns whether the size was taken.
    bool chooseDisplaySize(double samples);

    // Sets every point of the trace to 0 (start of a recording run).
    void clearTrace();

    // sampleCount and the four figures back to 0; the trace stays as it is until overwritten.
    void resetStatistics();

    // Charts one reading (te in arcseconds) at the given rate, which must be Slow or Fast.
    SweepStep chart(double te, ChartRate rate);

    const SweepState& state() const { return m_state; }

    // 95 % prediction interval and RMS figure of the current statistics, arcseconds.

private:
    void updateSlowRate();
    void updateFastRate(double te);

    SweepState m_state;
};

} // namespace acquisition
