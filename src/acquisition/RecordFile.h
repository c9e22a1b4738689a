// The record file: one line per recorded reading, appended across recording runs. Opened by Start, then
// written and closed by the writer thread (RecordWriter). Every line goes to the operating system as soon as
// it is written, so a crash of the program loses nothing written; sync() puts it on the disk.
#pragma once

#include "acquisition/RecordSink.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace acquisition {

class RecordFile : public RecordSink {
public:
    struct OpenResult;

    // Opens path for appending; a missing file is created, an existing one extended. A relative path is
    // taken from the current working directory.
    static OpenResult open(const std::string& path);

    ~RecordFile() override;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Writes line followed by CR LF in one write. A failed write (disk full, I/O error) is reported once,
    // and the next line is tried again; the first line written after failures reports how many were lost.
    // If the file has been removed while open, it is created again under the same path and the line is
    // written there (reported too).
    WriteResult writeLine(std::string_view line) override;

    // fdatasync: blocks until the disk confirms.
    std::string sync() override;

    const std::string& path() const { return m_path; }
    // Lines that could not be written since the file was opened.
    std::size_t lostLines() const { return m_lostLines; }

private:
    RecordFile(std::string path, int fd);
    bool writeAll(std::string_view line, int& error);
    bool wasRemoved() const;
    int reopen();

    std::string m_path;
    int m_fd;
    bool m_failing = false;     // the last line could not be written
    bool m_partialLine = false; // a failed write left part of a line in the file
    std::size_t m_lostLines = 0;
    std::size_t m_lostAtFailure = 0; // m_lostLines when the current run of failures began
};

struct RecordFile::OpenResult {
    std::unique_ptr<RecordFile> file; // null on failure
    std::string error;                // "Could not open the record file "<path>": <reason>" on failure
};

} // namespace acquisition
