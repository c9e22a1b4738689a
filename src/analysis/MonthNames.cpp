// Month-name matching for time stamps written under different locales.
#include "analysis/MonthNames.h"

#include <algorithm>

namespace analysis {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

} // namespace

std::vector<common::MonthNames> knownLocaleMonthNames() {
    // glibc's "%b" for de, fr, es, it, nl, pt, sv/da/nb and pl (UTF-8).
    return {
        {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
        {"janv.", "févr.", "mars", "avril", "mai", "juin", "juil.", "août", "sept.", "oct.", "nov.", "déc."},
        {"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"},
        {"gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic"},
        {"jan", "feb", "mrt", "apr", "mei", "jun", "jul", "aug", "sep", "okt", "nov", "dec"},
        {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"},
        {"jan", "feb", "mar", "apr", "maj", "jun", "jul", "aug", "sep", "okt", "nov", "dec"},
        {"sty", "lut", "mar", "kwi", "maj", "cze", "lip", "sie", "wrz", "paź", "lis", "gru"},
    };
}

MonthLookup::MonthLookup(const std::vector<common::MonthNames>& extra) {
    std::vector<common::MonthNames> sets{common::englishMonthNames()};
    sets.insert(sets.end(), extra.begin(), extra.end());
    for (const auto& set : sets)
        for (int m = 0; m < 12; ++m) {
            std::string text = lowered(set[static_cast<std::size_t>(m)]);
            // The first set that names a text wins, so English keeps "mar" as March.
            const bool known = std::any_of(m_entries.begin(), m_entries.end(),
                                           [&](const Entry& e) { return e.text == text; });
            if (!known && !text.empty())
                m_entries.push_back({std::move(text), m + 1});
        }
}

int MonthLookup::month(std::string_view name) const {
    for (const Entry& e : m_entries) {
        if (e.text.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = lowerAscii(name[i]) == e.text[i];
        if (same)
            return e.month;
    }
    return 0;
}

} // namespace analysis
