// The one time-stamp form shared by the event log, the live line, the record line and the window clock:
// "yyyy-MMM-dd HH:nn:ss" then "." and two hundredths digits, e.g. "2013-Jan-05 21:14:07.42".
#pragma once

#include "common/Clock.h"

#include <array>
#include <string>
#include <utility>

namespace common {

using MonthNames = std::array<std::string, 12>;

// "Jan" .. "Dec": the C locale's abbreviated month names.
MonthNames englishMonthNames();

// The abbreviated month names of the process's current LC_TIME locale (strftime "%b").
MonthNames monthNamesFromLocale();

class TimeStampFormatter {
public:
    explicit TimeStampFormatter(MonthNames names = englishMonthNames())
        : m_names(std::move(names)) {}

    // "yyyy-MMM-dd HH:nn:ss", 24-hour clock.
    std::string dateTime(const LocalTime& t) const;
    // dateTime + "." + two hundredths digits.
    std::string stamp(const LocalTime& t) const;
    // Appends stamp(t) to out without a temporary; the per-reading path uses this.
    void appendStamp(std::string& out, const LocalTime& t) const;

private:
    MonthNames m_names;
};

} // namespace common
