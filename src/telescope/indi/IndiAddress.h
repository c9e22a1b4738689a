// Where an INDI telescope is: server host, port and device name. Its identifier is the INDI form of DriverId,
// "indi://127.0.0.1:7624/Telescope Simulator" (the device name may hold blanks).
#pragma once

#include "telescope/DriverId.h"

#include <cstdint>
#include <string>

namespace telescope::indi {

inline constexpr std::uint16_t defaultPort = 7624;

struct IndiAddress {
    std::string host = "127.0.0.1";
    std::uint16_t port = defaultPort;
    std::string device;

    std::string id() const { return formatDriverId(DriverId{Backend::Indi, host, port, 0, device}); }
    std::string server() const { return host + ":" + std::to_string(port); } // for messages
    bool operator==(const IndiAddress&) const = default;
};

} // namespace telescope::indi
