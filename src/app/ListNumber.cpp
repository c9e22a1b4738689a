#include "app/ListNumber.h"

#include <charconv>
#include <string>

namespace app {

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
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

} // namespace app
