// The INDI commands a client sends, as protocol 1.7 XML text. Plain C++; used by the mount logic and the
// list.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace telescope::indi {

// All devices when device is empty.
std::string getPropertiesCommand(const std::string& device);
// Every element of a number vector must be sent, or the device may take the missing ones as 0.
std::string newNumberCommand(const std::string& device, const std::string& property,
                             const std::vector<std::pair<std::string, double>>& values);
// Only the switch turned On: for a OneOfMany vector the device turns the others Off itself.
std::string newSwitchOnCommand(const std::string& device, const std::string& property,
                               const std::string& element);
std::string pingReplyCommand(const std::string& uid);

// XML escape for attribute values and text (&, <, >, ", ').
std::string escapeXml(const std::string& text);
// Shortest text that reads back as the same double, whatever the locale.
std::string formatNumber(double value);

} // namespace telescope::indi
