// Telescope identifiers for both backends.
#include "telescope/DriverId.h"

#include <charconv>

namespace telescope {

namespace {

constexpr std::string_view kAlpaca = "alpaca://";
constexpr std::string_view kIndi = "indi://";
constexpr std::string_view kTelescopePath = "telescope/";

template <typename T>
std::optional<T> wholeNumber(std::string_view text) {
    T value{};
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<DriverId> parseDriverId(std::string_view text) {
    DriverId id;
    if (text.starts_with(kAlpaca)) {
        id.backend = Backend::Alpaca;
        text.remove_prefix(kAlpaca.size());
    } else if (text.starts_with(kIndi)) {
        id.backend = Backend::Indi;
        text.remove_prefix(kIndi.size());
    } else {
        return std::nullopt;
    }
    const auto slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view authority = text.substr(0, slash);
    const std::string_view path = text.substr(slash + 1);
    const auto colon = authority.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return std::nullopt;
    id.host = std::string(authority.substr(0, colon));
    const auto port = wholeNumber<unsigned>(authority.substr(colon + 1));
    if (!port || *port == 0 || *port > 65535)
        return std::nullopt;
    id.port = static_cast<std::uint16_t>(*port);

    if (id.backend == Backend::Alpaca) {
        if (!path.starts_with(kTelescopePath))
            return std::nullopt;
        const auto number = wholeNumber<unsigned>(path.substr(kTelescopePath.size()));
        if (!number)
            return std::nullopt;
        id.deviceNumber = *number;
    } else {
        if (path.empty())
            return std::nullopt;
        id.deviceName = std::string(path);
    }
    return id;
}

std::string formatDriverId(const DriverId& id) {
    const std::string authority = id.host + ":" + std::to_string(id.port) + "/";
    if (id.backend == Backend::Alpaca)
        return std::string(kAlpaca) + authority + std::string(kTelescopePath) +
               std::to_string(id.deviceNumber);
    return std::string(kIndi) + authority + id.deviceName;
}

} // namespace telescope
