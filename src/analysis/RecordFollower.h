// Follows a record file that a recording still appends to: each look reads only the bytes added since the
// last one and keeps the reader's state, so that a look costs what the new lines cost, not the whole file. A
// line not yet complete waits for the next look. Plain C++; used by the analysis window's live view from one
// thread at a time.
#pragma once

#include "analysis/RecordBuilder.h"

#include <cstdint>
#include <memory>
#include <string>

namespace analysis {

class RecordFollower {
public:
    explicit RecordFollower(std::string path, ReadOptions options = {});

    struct Look {
        std::uint64_t newLines = 0; // complete lines read in this look
        std::uint64_t bytes = 0;    // bytes read in this look
        bool restarted = false; // the file had become shorter than what was read: read again from its start
        std::string error;      // empty, or what failed, naming the file
    };
    // Reads what was added. `endOfFile`: the writer is done, so a last line without its line end counts too.
    Look look(bool endOfFile = false);

    // The readings so far, as readRecordFile would give them for the lines read; an error while there is no
    // readable line.
    ReadResult recording() const;

    const std::string& path() const { return m_path; }
    std::uint64_t offset() const { return m_offset; } // bytes of the file read so far

private:
    std::string m_path;
    ReadOptions m_options;
    std::unique_ptr<RecordBuilder> m_builder;
    std::uint64_t m_offset = 0;
    std::string m_partial; // the start of a line whose end has not been written yet
};

} // namespace analysis
