// Record files for the analysis tests, as the recorder writes them: simulated drives, or any tracking error
// as a function of time, at 8 readings a second; and a record text read back with English month names only.
#pragma once

#include "SimulatedRecord.h"
#include "acquisition/LineTexts.h"
#include "analysis/RecordReader.h"

#include <gtest/gtest.h>

#include <functional>

namespace testrecords {

inline const common::LocalTime kStart{2026, 12, 7, 22, 10, 0, 0};

// Record lines from kStart on for `seconds`, the tracking error te(t) at t s after it (arcsec).
inline std::string recordLines(double seconds, const std::function<double(double)>& te) {
    const common::TimeStampFormatter stamps;
    std::string text;
    for (int k = 0; k < static_cast<int>(seconds * 8.0); ++k) {
        acquisition::appendRecordLine(text, qelsim::encodeReading(te(k / 8.0)),
                                      qelsim::addSeconds(kStart, k / 8.0), stamps, "None", "None");
        text += "\r\n";
    }
    return text;
}

// `turns` turns of the simulated drive's worm from kStart on.
inline std::string simulated(const qelsim::ErrorModel& model, double turns, std::uint32_t seed = 1) {
    qelsim::SimulatedRun run;
    run.model = model;
    run.seed = seed;
    run.seconds = turns * model.wormPeriod;
    run.start = kStart;
    std::string text;
    qelsim::appendSimulatedRun(text, run);
    return text;
}

inline analysis::ReadOptions englishOnly() {
    analysis::ReadOptions o;
    o.monthNames = {};
    return o;
}

// The recording a text holds; the text must read.
inline analysis::Recording recording(const std::string& text) {
    analysis::ReadResult r = analysis::readRecordText(text, englishOnly());
    EXPECT_TRUE(r.error.empty()) << r.error;
    return std::move(r.recording);
}

} // namespace testrecords
