// The property store (see IndiProperties.h).
#include "telescope/indi/IndiProperties.h"

#include <charconv>

namespace telescope::indi {

void PropertyStore::apply(const Message& message) {
    switch (message.kind) {
    case MessageKind::Define: {
        Property& p = m_devices[message.device][message.name];
        p = Property{};
        p.type = message.type;
        p.state = message.state.value_or(PropertyState::Idle);
        p.perm = message.perm;
        p.timeoutSeconds = message.timeoutSeconds;
        for (const Element& e : message.elements)
            p.values[e.name] = e.value;
        if (p.state == PropertyState::Alert)
            p.lastAlert = message.text;
        break;
    }
    case MessageKind::Set: {
        const auto device = m_devices.find(message.device);
        if (device == m_devices.end())
            return;
        const auto found = device->second.find(message.name);
        if (found == device->second.end() || found->second.type != message.type)
            return;
        Property& p = found->second;
        if (message.state)
            p.state = *message.state;
        if (message.timeoutSeconds > 0)
            p.timeoutSeconds = message.timeoutSeconds;
        for (const Element& e : message.elements) {
            const auto value = p.values.find(e.name);
            if (value != p.values.end())
                value->second = e.value;
        }
        if (p.state == PropertyState::Alert)
            p.lastAlert = message.text;
        break;
    }
    case MessageKind::Delete:
        if (message.name.empty())
            m_devices.erase(message.device);
        else if (const auto device = m_devices.find(message.device); device != m_devices.end())
            device->second.erase(message.name);
        break;
    case MessageKind::Note:
    case MessageKind::PingRequest:
        break;
    }
}

const Property* PropertyStore::find(const std::string& device, const std::string& property) const {
    const auto d = m_devices.find(device);
    if (d == m_devices.end())
        return nullptr;
    const auto p = d->second.find(property);
    return p == d->second.end() ? nullptr : &p->second;
}

std::vector<std::string> PropertyStore::devices() const {
    std::vector<std::string> names;
    for (const auto& [name, properties] : m_devices)
        names.push_back(name);
    return names;
}

namespace {

const std::string* valueOf(const Property* p, PropertyType type, const std::string& element) {
    if (!p || p->type != type)
        return nullptr;
    const auto v = p->values.find(element);
    return v == p->values.end() ? nullptr : &v->second;
}

} // namespace

std::optional<double> PropertyStore::number(const std::string& device, const std::string& property,
                                            const std::string& element) const {
    const std::string* v = valueOf(find(device, property), PropertyType::Number, element);
    return v ? parseNumber(*v) : std::nullopt;
}

std::optional<bool> PropertyStore::switchOn(const std::string& device, const std::string& property,
                                            const std::string& element) const {
    const std::string* v = valueOf(find(device, property), PropertyType::Switch, element);
    if (!v || (*v != "On" && *v != "Off"))
        return std::nullopt;
    return *v == "On";
}

std::optional<std::string> PropertyStore::text(const std::string& device, const std::string& property,
                                               const std::string& element) const {
    const std::string* v = valueOf(find(device, property), PropertyType::Text, element);
    return v ? std::optional<std::string>(*v) : std::nullopt;
}

std::optional<bool> isTelescope(const PropertyStore& store, const std::string& device) {
    const auto text = store.text(device, "DRIVER_INFO", "DRIVER_INTERFACE");
    if (!text)
        return std::nullopt;
    unsigned long bits = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), bits);
    if (error != std::errc() || end != text->data() + text->size())
        return std::nullopt;
    return (bits & 1u) != 0;
}

} // namespace telescope::indi
