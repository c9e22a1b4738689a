// Record lines turned into readings one line at a time, for reading a whole file and for following one that a
// recording still appends to: the stamps are kept as written until recording() turns them into times and
// runs, so more lines may follow. Used by the record reader and the record follower.
#pragma once

#include "analysis/RecordLine.h"
#include "analysis/RecordReader.h"

#include <cstring>
#include <string_view>

namespace analysis {

// Hands each line of block that ends in '\n' to line (without it); returns where the unfinished rest begins.
template <typename LineFn>
std::size_t forEachWholeLine(std::string_view block, LineFn&& line) {
    std::size_t start = 0;
    while (const void* nl = std::memchr(block.data() + start, '\n', block.size() - start)) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(nl) - block.data());
        line(block.substr(start, at - start));
        start = at + 1;
    }
    return start;
}

class RecordBuilder {
public:
    explicit RecordBuilder(ReadOptions options);
    RecordBuilder(const RecordBuilder&) = delete; // the parser refers to the month names held here
    RecordBuilder& operator=(const RecordBuilder&) = delete;

    void reserve(std::size_t readings);
    // One line without its '\n' (a '\r' before it is dropped); a blank line holds no reading.
    void addLine(std::string_view line);

    // The readings so far, as reading all the lines at once would give them (bursts spread, runs split).
    Recording recording() const;
    // The same, leaving the builder empty; for a reader that is done.
    Recording finish();

    std::uint64_t lines() const { return m_raw.lineCount; }

private:
    ReadOptions m_options;
    MonthLookup m_months;
    RecordLineParser m_parser;
    Recording m_raw; // seconds hold the stamps in hundredths since the first reading's midnight; no runs yet
};

} // namespace analysis
