// Digits are built from std::to_chars output and by hand, never through printf or streams, so the locale
// that Qt installs at start-up cannot change a decimal point.
#include "acquisition/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace acquisition {

void appendRightAligned(std::string& out, std::string_view text, std::size_t width) {
    if (text.size() < width)
        out.append(width - text.size(), ' ');
    out.append(text);
}

void appendHex(std::string& out, unsigned value) {
    char buf[8];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, 16);
    for (char* p = buf; p < r.ptr; ++p)
        out.push_back(*p >= 'a' ? static_cast<char>(*p - 'a' + 'A') : *p);
}

void appendDecimal(std::string& out, unsigned value) {
    char buf[12];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void appendPlainNumber(std::string& out, double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
        if (value < 0)
            out.push_back('-');
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(std::fabs(value)));
        out.append(buf, r.ptr);
        return;
    }
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    out.append(buf, r.ptr);
}

} // namespace acquisition
