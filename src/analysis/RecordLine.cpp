// Hand-rolled field parsing: record files reach millions of lines and must read the same in every locale.
#include "analysis/RecordLine.h"

#include <cstring>

namespace analysis {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads exactly `width` digits at p; -1 when they are not all digits.
int fixedDigits(const char* p, int width) {
    int v = 0;
    for (int i = 0; i < width; ++i) {
        if (!isDigit(p[i]))
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

} // namespace

std::string_view faultText(LineFault fault) {
    switch (fault) {
    case LineFault::None:
        return "readable";
    case LineFault::CutShort:
        return "cut short";
    case LineFault::BadCode:
        return "the code is not a number";
    case LineFault::CodeOutOfRange:
        return "code outside 0-255";
    case LineFault::CodesDisagree:
        return "hexadecimal and decimal code differ";
    case LineFault::BadDate:
        return "impossible date";
    case LineFault::BadTime:
        return "impossible time of day";
    case LineFault::BadTrackingError:
        return "the tracking error is not a number";
    case LineFault::TrackingErrorDisagrees:
        return "the tracking error does not match the code";
    }
    return "unreadable";
}

int daysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

std::int64_t daysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil.
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LineFault StampParser::parse(std::string_view text, std::int64_t& dayNumber, std::int32_t& hundredthsOfDay,
                             std::size_t& used) {
    const char* p = text.data();
    const char* end = p + text.size();
    // "yyyy-MMM-dd HH:nn:ss.ff": the month name runs to the next '-'.
    const char* dateStart = p;
    const char* monthEnd = nullptr;
    if (end - p < 6)
        return LineFault::CutShort;
    for (const char* q = p + 5; q < end && q < p + 5 + 16; ++q)
        if (*q == '-') {
            monthEnd = q;
            break;
        }
    if (!monthEnd)
        return end - p < 21 ? LineFault::CutShort : LineFault::BadDate;
    const char* dateEnd = monthEnd + 3; // "-dd"
    if (end - monthEnd < 15)            // "-dd HH:nn:ss.ff"
        return LineFault::CutShort;
    const std::size_t dateSize = static_cast<std::size_t>(dateEnd - dateStart);
    std::int64_t day;
    if (dateSize == m_lastDateSize && std::memcmp(dateStart, m_lastDate, dateSize) == 0) {
        day = m_lastDay;
    } else {
        const int year = fixedDigits(p, 4);
        const int month =
            p[4] == '-' ? m_months.month({p + 5, static_cast<std::size_t>(monthEnd - p - 5)}) : 0;
        const int dom = fixedDigits(monthEnd + 1, 2);
        if (year < 1900 || month == 0 || dom < 1 || dom > daysInMonth(year, month))
            return LineFault::BadDate;
        day = daysFromCivil(year, month, dom);
        if (dateSize <= sizeof m_lastDate) {
            std::memcpy(m_lastDate, dateStart, dateSize);
            m_lastDateSize = dateSize;
            m_lastDay = day;
        }
    }
    p = dateEnd;
    if (p[0] != ' ' || p[3] != ':' || p[6] != ':' || p[9] != '.')
        return LineFault::BadTime;
    const int hour = fixedDigits(p + 1, 2);
    const int minute = fixedDigits(p + 4, 2);
    const int second = fixedDigits(p + 7, 2);
    const int hundredths = fixedDigits(p + 10, 2);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || hundredths < 0)
        return LineFault::BadTime;
    p += 12;

    dayNumber = day;
    hundredthsOfDay = ((hour * 60 + minute) * 60 + second) * 100 + hundredths;
    used = static_cast<std::size_t>(p - text.data());
    return LineFault::None;
}

LineFault RecordLineParser::parse(std::string_view line, ParsedLine& out) {
    const char* p = line.data();
    const char* end = p + line.size();

    // Hexadecimal code, ":", decimal code (a live line pads it with blanks), ": ".
    int hex = 0;
    int hexDigits = 0;
    for (; p < end && *p != ':'; ++p, ++hexDigits) {
        const int v = hexValue(*p);
        if (v < 0 || hexDigits >= 2)
            return LineFault::BadCode;
        hex = hex * 16 + v;
    }
    if (p == end)
        return LineFault::CutShort;
    if (hexDigits == 0)
        return LineFault::BadCode;
    ++p;
    while (p < end && *p == ' ')
        ++p;
    int decimal = 0;
    int decimalDigits = 0;
    for (; p < end && *p != ':'; ++p, ++decimalDigits) {
        if (!isDigit(*p) || decimalDigits >= 6)
            return LineFault::BadCode;
        decimal = decimal * 10 + (*p - '0');
    }
    if (p == end)
        return LineFault::CutShort;
    if (decimalDigits == 0)
        return LineFault::BadCode;
    if (decimal > 255)
        return LineFault::CodeOutOfRange;
    if (decimal != hex)
        return LineFault::CodesDisagree;
    ++p;
    if (p < end && *p == ' ')
        ++p;

    std::int64_t day = 0;
    std::int32_t hundredthsOfDay = 0;
    std::size_t used = 0;
    if (const LineFault fault =
            m_stamps.parse({p, static_cast<std::size_t>(end - p)}, day, hundredthsOfDay, used);
        fault != LineFault::None)
        return fault;
    p += used;

    // "  TE: " and the value, right-aligned: "   0.125", " -16.000".
    static constexpr std::string_view teLabel = "  TE: ";
    if (static_cast<std::size_t>(end - p) < teLabel.size())
        return LineFault::CutShort;
    if (std::string_view(p, teLabel.size()) != teLabel)
        return LineFault::BadTrackingError;
    p += teLabel.size();
    while (p < end && *p == ' ')
        ++p;
    if (p == end)
        return LineFault::CutShort;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    int whole = 0;
    int wholeDigits = 0;
    for (; p < end && isDigit(*p) && wholeDigits < 6; ++p, ++wholeDigits)
        whole = whole * 10 + (*p - '0');
    if (wholeDigits == 0 || (p < end && *p != '.'))
        return p == end ? LineFault::CutShort : LineFault::BadTrackingError;
    if (p == end || end - p < 4)
        return LineFault::CutShort;
    const int thousandths = fixedDigits(p + 1, 3);
    if (thousandths < 0)
        return LineFault::BadTrackingError;
    p += 4;
    if (p < end && *p != ' ')
        return LineFault::BadTrackingError;
    // A value of whole eighths: (127 - c) * 125 thousandths.
    const int value = (whole * 1000 + thousandths) * (negative ? -1 : 1);
    if (value != (127 - decimal) * 125)
        return LineFault::TrackingErrorDisagrees;

    out.code = static_cast<std::uint8_t>(decimal);
    out.dayNumber = day;
    out.hundredthsOfDay = hundredthsOfDay;
    return LineFault::None;
}

} // namespace analysis
