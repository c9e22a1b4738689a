// What an INDI client knows about the devices of one server: every property as last defined or set, kept
// current from the messages the server sends. Plain C++; used by the mount logic and the telescope list.
#pragma once

#include "telescope/indi/IndiMessage.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace telescope::indi {

struct Property {
    PropertyType type = PropertyType::Number;
    PropertyState state = PropertyState::Idle;
    std::string perm;
    double timeoutSeconds = 0;
    std::map<std::string, std::string> values; // element name -> value as sent
    std::string lastAlert;                     // the message of the last Alert, if any
};

class PropertyStore {
public:
    // Takes a message into the store. A definition of a known property replaces it (servers repeat
    // definitions at any time); a set for an unknown property or element is ignored; notes and pings change
    // nothing.
    void apply(const Message& message);
    void clear() { m_devices.clear(); }

    const Property* find(const std::string& device, const std::string& property) const;
    bool hasDevice(const std::string& device) const { return m_devices.count(device) != 0; }
    std::vector<std::string> devices() const;

    // Typed reads; nullopt when the property or the element is missing or the value is not of that kind.
    std::optional<double> number(const std::string& device, const std::string& property,
                                 const std::string& element) const;
    std::optional<bool> switchOn(const std::string& device, const std::string& property,
                                 const std::string& element) const;
    std::optional<std::string> text(const std::string& device, const std::string& property,
                                    const std::string& element) const;

private:
    std::map<std::string, std::map<std::string, Property>> m_devices;
};

// DRIVER_INFO.DRIVER_INTERFACE bit 0: the device is a telescope. nullopt when the device does not say.
std::optional<bool> isTelescope(const PropertyStore& store, const std::string& device);

} // namespace telescope::indi
