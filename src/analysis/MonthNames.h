// Month names a record file's time stamps may carry: English, the reader's own locale, and the abbreviations
// that common European locales write. Used by the record reader.
#pragma once

#include "common/TimeStamp.h"

#include <string_view>
#include <vector>

namespace analysis {

class MonthLookup {
public:
    // `extra`: further name sets tried after English (e.g. the process's locale); case is ignored for ASCII.
    explicit MonthLookup(const std::vector<common::MonthNames>& extra = {});

    // 1 .. 12, or 0 when `name` is no month name this lookup knows.
    int month(std::string_view name) const;

private:
    struct Entry {
        std::string text;
        int month;
    };
    std::vector<Entry> m_entries;
};

// The name sets the reader knows besides English and the process's locale.
std::vector<common::MonthNames> knownLocaleMonthNames();

} // namespace analysis
