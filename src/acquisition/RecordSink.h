// Where record lines go: the record file itself (RecordFile), the writer thread in front of it
// (RecordWriter), or a stand-in in tests. ReadingProcessor writes each record line to one.
#pragma once

#include <string>
#include <string_view>

namespace acquisition {

class RecordSink {
public:
    // Result of writing one line. report is non-empty when the operator must be told something, in words
    // naming the file and the system's reason; it is given once per run of failed writes, not per line.
    struct WriteResult {
        bool written = false;
        std::string report;
    };

    virtual ~RecordSink() = default;

    // Writes line followed by CR LF. May block for as long as the medium takes.
    virtual WriteResult writeLine(std::string_view line) = 0;

    // Asks the operating system to put the lines written so far on the disk (survives a power cut). Blocks
    // until the disk confirms; returns an empty text or the reason it failed, naming the file.
    virtual std::string sync() { return {}; }
};

} // namespace acquisition
