// INDI telescope identifiers (see IndiAddress.h).
#include "telescope/indi/IndiAddress.h"

#include <charconv>

namespace telescope::indi {

std::string IndiAddress::server() const {
    return host + ":" + std::to_string(port);
}

std::string IndiAddress::id() const {
    return "indi://" + server() + "/" + device;
}

std::optional<IndiAddress> parseIndiId(const std::string& id) {
    const std::string scheme = "indi://";
    if (id.compare(0, scheme.size(), scheme) != 0)
        return std::nullopt;
    const std::size_t slash = id.find('/', scheme.size());
    if (slash == std::string::npos)
        return std::nullopt;
    const std::string authority = id.substr(scheme.size(), slash - scheme.size());
    IndiAddress address;
    address.device = id.substr(slash + 1);
    const std::size_t colon = authority.rfind(':');
    address.host = authority.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || error != std::errc() || end != port.data() + port.size() || value == 0 ||
            value > 65535)
            return std::nullopt;
        address.port = static_cast<std::uint16_t>(value);
    }
    if (address.host.empty() || address.device.empty() ||
        address.host.find_first_of(" /") != std::string::npos)
        return std::nullopt;
    return address;
}

} // namespace telescope::indi
