#include "common/ListNumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace common {

double numberAtStart(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::size_t end = i;
    if (end < text.size() && (text[end] == '+' || text[end] == '-'))
        ++end;
    bool digits = false;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
        digits = true;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    std::string number(text.substr(i, end - i));
    if (number.front() == '+')
        number.erase(0, 1);
    double value = 0.0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec ==
        std::errc::result_out_of_range) {
        // Too large for a double is huge, not 0; too small (only zeros before the point) is 0.
        const auto point = number.find('.');
        const bool large = number.substr(0, point).find_first_of("123456789") != std::string::npos;
        return large ? (number.front() == '-' ? -HUGE_VAL : HUGE_VAL) : 0.0;
    }
    return value;
}

} // namespace common
