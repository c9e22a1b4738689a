// Record files as the recorder writes them, made in-process from the simulated unit's signal and the
// recorder's own record-line formatter: for the analysis tests, its benchmark and demos.
#pragma once

#include "TrackingErrorSignal.h"
#include "common/Clock.h"
#include "common/TimeStamp.h"

#include <cstdint>
#include <string>

namespace qelsim {

struct SimulatedRun {
    ErrorModel model;
    std::uint32_t seed = 1;
    double rate = 8.0;       // readings per second
    double seconds = 1920.0; // length of the run
    common::LocalTime start; // the first reading's wall-clock time
    double burst = 0.0; // s: readings arriving together share the stamp of their arrival (0: each its own)
    bool lateSecond = false; // stamps with hundredths "00" show the previous second
    common::MonthNames months = common::englishMonthNames();
};

// Appends the run's record lines ("...  TE:    0.125 None None\r\n") to `out`; returns the readings written.
std::uint64_t appendSimulatedRun(std::string& out, const SimulatedRun& run);

// Wall-clock time `seconds` after `start` (crosses midnight, month and year ends); hundredths truncated.
common::LocalTime addSeconds(const common::LocalTime& start, double seconds);

} // namespace qelsim
