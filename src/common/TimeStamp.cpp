// Builds time stamps digit by digit: no locale-dependent formatting, no allocation beyond the output.
#include "common/TimeStamp.h"

#include <ctime>

namespace common {
namespace {

void appendDigits(std::string& out, int value, int width) {
    char buf[8];
    int n = 0;
    unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 8);
    for (int i = n; i < width; ++i)
        out.push_back('0');
    while (n > 0)
        out.push_back(buf[--n]);
}

} // namespace

MonthNames englishMonthNames() {
    return {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

MonthNames monthNamesFromLocale() {
    MonthNames names;
    for (int m = 0; m < 12; ++m) {
        std::tm tm{};
        tm.tm_year = 100;
        tm.tm_mon = m;
        tm.tm_mday = 1;
        char buf[64] = {};
        const std::size_t n = std::strftime(buf, sizeof buf, "%b", &tm);
        names[static_cast<std::size_t>(m)] = n > 0 ? std::string(buf, n) : englishMonthNames()[m];
    }
    return names;
}

void TimeStampFormatter::appendStamp(std::string& out, const LocalTime& t) const {
    appendDigits(out, t.year, 4);
    out.push_back('-');
    const int month = t.month < 1 ? 1 : (t.month > 12 ? 12 : t.month);
    out += m_names[static_cast<std::size_t>(month - 1)];
    out.push_back('-');
    appendDigits(out, t.day, 2);
    out.push_back(' ');
    appendDigits(out, t.hour, 2);
    out.push_back(':');
    appendDigits(out, t.minute, 2);
    out.push_back(':');
    appendDigits(out, t.second, 2);
    out.push_back('.');
    appendDigits(out, t.hundredths % 100, 2);
}

std::string TimeStampFormatter::stamp(const LocalTime& t) const {
    std::string s;
    s.reserve(24);
    appendStamp(s, t);
    return s;
}

std::string TimeStampFormatter::dateTime(const LocalTime& t) const {
    std::string s = stamp(t);
    s.resize(s.size() - 3); // drop ".ff"
    return s;
}

} // namespace common
