// Parsing of one record line ("7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 None None") without the
// locale and without allocation. Used by the record reader.
#pragma once

#include "analysis/MonthNames.h"

#include <cstdint>
#include <string_view>

namespace analysis {

enum class LineFault {
    None,
    CutShort,               // the line ends before the tracking error
    BadCode,                // the code fields are not numbers
    CodeOutOfRange,         // a code outside 0 .. 255
    CodesDisagree,          // hexadecimal and decimal code differ
    BadDate,                // impossible date or unknown month name
    BadTime,                // impossible time of day
    BadTrackingError,       // the TE field is not a number
    TrackingErrorDisagrees, // the TE field is not what the code encodes
};

// The operator's words for a fault ("cut short", "code outside 0-255", ...).
std::string_view faultText(LineFault fault);

struct ParsedLine {
    std::uint8_t code = 127;
    std::int64_t dayNumber = 0;       // days since 1970-01-01 of the stamp's date
    std::int32_t hundredthsOfDay = 0; // 0 .. 8639999
};

// The time stamp that record lines and guide-log lines carry: "yyyy-MMM-dd HH:nn:ss.ff", the month as the
// recording computer's locale names it.
class StampParser {
public:
    explicit StampParser(const MonthLookup& months)
        : m_months(months) {}

    // Parses the stamp at the start of `text`. On success `used` is the stamp's length (up to the
    // hundredths); faults: CutShort, BadDate, BadTime.
    LineFault parse(std::string_view text, std::int64_t& dayNumber, std::int32_t& hundredthsOfDay,
                    std::size_t& used);

private:
    const MonthLookup& m_months;
    // The date part changes rarely: the last one seen and its day number.
    char m_lastDate[40] = {};
    std::size_t m_lastDateSize = 0;
    std::int64_t m_lastDay = 0;
};

class RecordLineParser {
public:
    explicit RecordLineParser(const MonthLookup& months)
        : m_stamps(months) {}

    // Parses `line` (without its line end) into `out`; on a fault `out` is unspecified.
    LineFault parse(std::string_view line, ParsedLine& out);

private:
    StampParser m_stamps;
};

// Days since 1970-01-01 for a proleptic Gregorian date.
std::int64_t daysFromCivil(int year, int month, int day);
int daysInMonth(int year, int month);

} // namespace analysis
