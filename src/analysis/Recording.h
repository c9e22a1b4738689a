// A record file as read: every readable reading with its time, the runs it falls into, and the lines that
// could not be read. Produced by the record reader, consumed by the analysis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace analysis {

struct BadLine {
    std::uint64_t lineNumber = 0; // counted from 1
    std::string reason;           // "cut short", "code outside 0-255", ...
};

// Readings [first, end) recorded without a gap.
struct Run {
    std::size_t first = 0;
    std::size_t end = 0;
};

struct Recording {
    std::vector<double> seconds;     // time of each reading, s since midnight before the first reading
    std::vector<std::uint8_t> codes; // the unit's code; TE = (127 - code) * 0.125 arcsec
    std::vector<Run> runs;
    std::vector<BadLine> badLines; // the first kMaxBadLinesKept of them
    std::uint64_t badLineCount = 0;
    std::uint64_t lineCount = 0;
    double readingRate = 8.0;        // readings per second used to spread bursts
    std::int64_t firstDayNumber = 0; // days since 1970-01-01 of the first reading's date
    // arcsec added to each reading (the guide pulses sent before it, when the unguided error is rebuilt);
    // empty: nothing added.
    std::vector<double> added;

    std::size_t size() const { return codes.size(); }
    double arcseconds(std::size_t i) const {
        return (127.0 - codes[i]) * 0.125 + (added.empty() ? 0.0 : added[i]);
    }
};

inline constexpr std::size_t kMaxBadLinesKept = 1000;

} // namespace analysis
