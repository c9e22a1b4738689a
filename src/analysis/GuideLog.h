// The guide log the recorder writes beside the record file while PID guiding runs: one line per control tick,
// the pulse it sent (or why not). Read here to rebuild the mount's own (unguided) error from a guided record:
// unguided(t) = guided(t) + what the pulses sent before t moved the mount. Used by qel-te-analyze
// --guide-log.
//
// Line format (CR LF ends; the stamp as in the record file):
//   2013-Jan-05 21:14:07.42 TE 1.125 U 0.845 RA E 113 RATE 0.500 sent
//   2013-Jan-05 21:14:07.62 TE 1.000 U 0.750 RA W 100 RATE 0.500 refused 0x40B
//   2013-Jan-05 21:14:08.02 TE - U - RA - 0 RATE - skipped no-reading
// TE: the reading used, U: the controller's output (arcsec, or "-"); RA: direction E, W or "-" and length in
// ms; RATE: the RA guide rate as a multiple of 15 arcsec/s (or "-"); then "sent", "refused <number or word>"
// or "skipped <reason>". Only sent pulses move the mount.
#pragma once

#include "analysis/MonthNames.h"
#include "analysis/RecordLine.h"
#include "analysis/Recording.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

enum class PulseOutcome { Sent, Refused, Skipped };

struct GuideLine {
    std::int64_t dayNumber = 0;                  // days since 1970-01-01
    std::int32_t hundredthsOfDay = 0;            // 0 .. 8639999
    std::optional<double> trackingError, output; // arcsec
    char direction = 0;                          // 'E', 'W', or 0 for "-"
    int milliseconds = 0;
    std::optional<double> rate; // multiple of 15 arcsec/s
    PulseOutcome outcome = PulseOutcome::Skipped;
    std::string detail; // the refusal's number or word, the reason for skipping

    // arcsec the pulse moves the tracking error back by: + for East, - for West; 0 unless sent.
    double correction() const;
};

// Parses one line (without its line end). Returns an empty string, or why the line cannot be read
// ("cut short", "the RA direction is not E, W or -", ...).
std::string parseGuideLine(std::string_view line, StampParser& stamps, GuideLine& out);

// A sent pulse, in the record's time: it moves the mount evenly over [start, start + length).
struct SentPulse {
    std::int64_t dayNumber = 0;
    double secondsOfDay = 0.0; // s after that day's midnight
    double length = 0.0;       // s
    double correction = 0.0;   // arcsec, as GuideLine::correction
};

struct GuideLog {
    std::vector<SentPulse> sent;
    std::uint64_t lines = 0, refused = 0, skipped = 0;
    std::vector<BadLine> badLines; // the first kMaxBadLinesKept
    std::uint64_t badLineCount = 0;
    // The first and last readable line's time.
    std::int64_t firstDay = 0, lastDay = 0;
    double firstSecondOfDay = 0.0, lastSecondOfDay = 0.0;
};

struct GuideLogResult {
    GuideLog log;
    std::string error; // empty when read; otherwise what failed, naming the file
};

GuideLogResult readGuideLogText(std::string_view text, const std::vector<common::MonthNames>& monthNames,
                                std::string_view name = "the guide log");
GuideLogResult readGuideLog(const std::string& path, const std::vector<common::MonthNames>& monthNames);

// For each reading of `rec`, arcsec the sent pulses had moved the mount by at its time: whole pulses that
// ended before it, and the share of one still running. Add it to a guided reading to get the unguided one.
std::vector<double> guideCorrection(const Recording& rec, const GuideLog& log);

} // namespace analysis
