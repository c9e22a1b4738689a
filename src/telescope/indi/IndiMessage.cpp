// INDI states and number values as text (see IndiMessage.h).
#include "telescope/indi/IndiMessage.h"

#include <charconv>
#include <cmath>

namespace telescope::indi {

std::optional<PropertyState> parseState(std::string_view text) {
    if (text == "Idle")
        return PropertyState::Idle;
    if (text == "Ok")
        return PropertyState::Ok;
    if (text == "Busy")
        return PropertyState::Busy;
    if (text == "Alert")
        return PropertyState::Alert;
    return std::nullopt;
}

const char* stateName(PropertyState state) {
    switch (state) {
    case PropertyState::Idle:
        return "Idle";
    case PropertyState::Ok:
        return "Ok";
    case PropertyState::Busy:
        return "Busy";
    case PropertyState::Alert:
        return "Alert";
    }
    return "?";
}

namespace {

std::optional<double> parseDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parseNumber(std::string_view text) {
    if (text.find_first_of(": ") == std::string_view::npos)
        return parseDecimal(text);

    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    double value = 0;
    double scale = 1;
    int fields = 0;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(": ");
        const std::string_view field = text.substr(0, end);
        if (++fields > 3 || field.empty() || field.front() == '-' || field.front() == '+')
            return std::nullopt;
        const auto part = parseDecimal(field);
        if (!part)
            return std::nullopt;
        value += *part / scale;
        scale *= 60;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
        if (text.empty())
            return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace telescope::indi
