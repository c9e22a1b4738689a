// Where an INDI telescope is: server host, port and device name, and its identifier
// "indi://127.0.0.1:7624/Telescope Simulator" (the device name may hold blanks). Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace telescope::indi {

inline constexpr std::uint16_t defaultPort = 7624;

struct IndiAddress {
    std::string host = "127.0.0.1";
    std::uint16_t port = defaultPort;
    std::string device;

    std::string id() const;     // "indi://host:port/device"
    std::string server() const; // "host:port", for messages
    bool operator==(const IndiAddress&) const = default;
};

// nullopt unless the text is "indi://HOST[:PORT]/DEVICE" with a non-empty host and device and a port 1 ...
// 65535.
std::optional<IndiAddress> parseIndiId(const std::string& id);

} // namespace telescope::indi
