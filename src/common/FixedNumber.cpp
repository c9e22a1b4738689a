// Digits are built from std::to_chars output and by hand, never through printf or streams, so the locale
// that Qt installs at start-up cannot change a decimal point.
#include "common/FixedNumber.h"

#include <charconv>
#include <cmath>

namespace common {
namespace {

constexpr int kSignificantDigits = 15;

void appendToChars(std::string& out, double value, std::chars_format format, int precision) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    out.append(buf, r.ptr);
}

} // namespace

void appendFixed(std::string& out, double value, int decimals) {
    decimals = decimals < 0 ? 0 : (decimals > 9 ? 9 : decimals);
    // Beyond 15 significant digits there is no fraction left to round; infinities and NaN have no digits.
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
        appendToChars(out, value, std::chars_format::fixed, decimals);
        return;
    }

    // The number's 15-significant-digit form "d.dddddddddddddde±x": digits[0..14] and the decimal exponent.
    char sci[40];
    const auto r =
        std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, kSignificantDigits - 1);
    const char* p = sci;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[kSignificantDigits];
    int n = 0;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits[n++] = *p;
    // to_chars always writes "e+x" or "e-x" (not terminated: parse up to r.ptr).
    const bool negativeExponent = p + 1 < r.ptr && p[1] == '-';
    int exponent = 0;
    std::from_chars(p + 2, r.ptr, exponent);
    if (negativeExponent)
        exponent = -exponent;

    // Digits kept: those before the point plus `decimals` after it; the next digit decides the rounding.
    const int intDigits = exponent + 1;
    const int kept = intDigits + decimals;
    // kept digits, most significant first, with one spare place in front for a carry.
    char result[kSignificantDigits + 12] = {};
    int len = 0;
    result[len++] = '0';
    for (int i = 0; i < kept; ++i)
        result[len++] = i < n ? digits[i] : '0';
    const bool roundUp = kept >= 0 && kept < n && digits[kept] >= '5';
    if (roundUp) {
        int i = len - 1;
        while (result[i] == '9') // stops at the spare '0' at the latest
            result[i--] = '0';
        ++result[i];
    }

    // result[0..len) is the value in units of 10^-decimals, possibly with leading zeros.
    int first = 0;
    while (first < len - 1 && result[first] == '0')
        ++first;
    const bool isZero = first == len - 1 && result[first] == '0';
    if (negative && !isZero)
        out.push_back('-');
    const int significant = len - first;
    if (significant <= decimals) {
        out.push_back('0');
        if (decimals > 0) {
            out.push_back('.');
            out.append(static_cast<std::size_t>(decimals - significant), '0');
            out.append(result + first, static_cast<std::size_t>(significant));
        }
    } else {
        out.append(result + first, static_cast<std::size_t>(significant - decimals));
        if (decimals > 0) {
            out.push_back('.');
            out.append(result + len - decimals, static_cast<std::size_t>(decimals));
        }
    }
}

std::string formatFixed(double value, int decimals) {
    std::string s;
    appendFixed(s, value, decimals);
    return s;
}

} // namespace common
