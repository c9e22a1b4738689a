// Reads record files (the recorder's own record lines; runs appended one after another) into a Recording.
// Used by qel-te-analyze and the analysis window.
#pragma once

#include "analysis/MonthNames.h"
#include "analysis/Recording.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace analysis {

// Called now and then with the share done (0 .. 1); returning false cancels the work.
using Progress = std::function<bool(double)>;

struct ReadOptions {
    std::vector<common::MonthNames> monthNames = {common::monthNamesFromLocale()}; // besides English
    std::optional<double> readingRate; // readings/s; estimated from the file when absent
    double newRunGap = 5.0;            // s: a longer gap, or a step back of more than 1 s, starts a new run
};

struct ReadResult {
    Recording recording;
    std::string error; // empty when the file was read; otherwise what failed, naming the file
    bool cancelled = false;
};

// Reads `path` in blocks (memory stays near the size of the readings, not of the file). A file that cannot be
// opened or read, an empty file and a file without one readable line give an error.
ReadResult readRecordFile(const std::string& path, const ReadOptions& options = {},
                          const Progress& progress = {});

// What the reader says of a file that holds no readable line (`name` stands for the file).
std::string noReadingsMessage(const Recording& rec, std::string_view name);

// The same for text already in memory; `name` stands for the file in messages.
ReadResult readRecordText(std::string_view text, const ReadOptions& options = {},
                          std::string_view name = "the text");

} // namespace analysis
