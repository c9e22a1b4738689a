// The identifier of a telescope: which backend reaches it and where, as the chooser returns it and the ASCOM
// log lines end with it. "alpaca://127.0.0.1:11111/telescope/0", "indi://127.0.0.1:7624/Telescope Simulator".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telescope {

enum class Backend { Alpaca, Indi };

struct DriverId {
    Backend backend = Backend::Alpaca;
    std::string host;          // an IPv4 address or a host name (no ':' or '/')
    std::uint16_t port = 0;    // 1 ... 65535
    unsigned deviceNumber = 0; // Alpaca: the telescope's device number
    std::string deviceName;    // INDI: the device's name, blanks and all (never empty)

    bool operator==(const DriverId&) const = default;
};

// Parses an identifier; nothing when it is not one (unknown scheme, no port, port out of range, an Alpaca
// path other than "telescope/<number>", an INDI device without a name).
std::optional<DriverId> parseDriverId(std::string_view text);

// The identifier's text; parseDriverId(formatDriverId(id)) == id for every valid id.
std::string formatDriverId(const DriverId& id);

} // namespace telescope
