// The position texts of the live and record lines.
#include "telescope/PositionText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace telescope {

std::string positionField(int value) {
    // Fields are 16-bit integers on the lines; valid positions never come near the limits.
    const auto v = static_cast<std::int16_t>(value);
    std::string digits = std::to_string(std::abs(static_cast<int>(v)));
    if (digits.size() < 2)
        digits.insert(0, 1, '0');
    return v < 0 ? "-" + digits : digits;
}

namespace {

std::string threeFields(double a, double b, double c) {
    return positionField(static_cast<int>(a)) + ":" + positionField(static_cast<int>(b)) + ":" +
           positionField(static_cast<int>(c));
}

} // namespace

std::string raText(double r) {
    const double h = std::floor(r);
    const double x = (r - h) * 60;
    const double m = std::floor(x);
    const double s = std::floor((x - m) * 60);
    return "RA  " + threeFields(h, m, s);
}

std::string decText(double dec) {
    double d, m, s;
    if (dec < 0) {
        d = std::trunc(dec);
        const double x = (dec - d) * 60;
        m = std::fabs(std::trunc(x));
        // x is negative and m its positive whole part, so x + m is minus the fraction of a minute.
        s = std::fabs(std::trunc((x + m) * 60));
    } else {
        d = std::floor(dec);
        const double x = (dec - d) * 60;
        m = std::floor(x);
        s = std::floor((x - m) * 60);
    }
    // 0 itself and (-1, 0) show "-": the degrees field alone would carry no sign there.
    const char* prefix = dec > 0 ? "DEC  +" : (dec > -1 ? "DEC  -" : "DEC  ");
    return prefix + threeFields(d, m, s);
}

std::optional<PositionTexts> positionTexts(double ra, double dec) {
    if (!std::isfinite(ra) || !std::isfinite(dec) || ra < 0 || ra > 24 || dec < -90 || dec > 90)
        return std::nullopt;
    return PositionTexts{raText(ra), decText(dec)};
}

} // namespace telescope
