// INDI commands as XML text (see IndiCommands.h).
#include "telescope/indi/IndiCommands.h"

#include <array>
#include <charconv>

namespace telescope::indi {

std::string escapeXml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string formatNumber(double value) {
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string("0");
}

namespace {

std::string vectorStart(const char* tag, const std::string& device, const std::string& property) {
    return std::string("<") + tag + " device=\"" + escapeXml(device) + "\" name=\"" + escapeXml(property) +
           "\">";
}

} // namespace

std::string getPropertiesCommand(const std::string& device) {
    if (device.empty())
        return "<getProperties version=\"1.7\"/>\n";
    return "<getProperties version=\"1.7\" device=\"" + escapeXml(device) + "\"/>\n";
}

std::string newNumberCommand(const std::string& device, const std::string& property,
                             const std::vector<std::pair<std::string, double>>& values) {
    std::string xml = vectorStart("newNumberVector", device, property);
    for (const auto& [name, value] : values)
        xml += "<oneNumber name=\"" + escapeXml(name) + "\">" + formatNumber(value) + "</oneNumber>";
    return xml + "</newNumberVector>\n";
}

std::string newSwitchOnCommand(const std::string& device, const std::string& property,
                               const std::string& element) {
    return vectorStart("newSwitchVector", device, property) + "<oneSwitch name=\"" + escapeXml(element) +
           "\">On</oneSwitch></newSwitchVector>\n";
}

std::string pingReplyCommand(const std::string& uid) {
    return "<pingReply uid=\"" + escapeXml(uid) + "\"/>\n";
}

} // namespace telescope::indi
