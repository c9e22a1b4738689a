// One INDI protocol message (version 1.7) as the server sends it, independent of XML: what the reader
// produces and the property store and the mount logic consume. Plain C++.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telescope::indi {

enum class PropertyState { Idle, Ok, Busy, Alert };
enum class PropertyType { Number, Switch, Text, Light, Blob };

enum class MessageKind {
    Define,     // def*Vector: a property and all its elements (a known property is redefined: an update)
    Set,        // set*Vector: new values for some elements, and maybe a new state
    Delete,     // delProperty: one property, or the whole device when name is empty
    Note,       // message: a line of text from the device or the server
    PingRequest // pingRequest: the server wants a pingReply with the same uid
};

struct Element {
    std::string name;
    std::string value; // as sent, blanks around it removed
};

struct Message {
    MessageKind kind = MessageKind::Note;
    PropertyType type = PropertyType::Number;
    std::string device;
    std::string name;                   // the property; empty for a whole-device delete or a note
    std::optional<PropertyState> state; // absent when the message does not carry one
    std::string perm;                   // "ro", "wo", "rw" (definitions only)
    std::string rule;                   // switch rule (definitions only)
    double timeoutSeconds = 0;          // the device's own expected time for a change; 0 = not given
    std::string text;                   // the message attribute: a note's line, or why a property is in Alert
    std::string uid;                    // pingRequest only
    std::vector<Element> elements;
};

std::optional<PropertyState> parseState(std::string_view text);
const char* stateName(PropertyState state);

// A number value: decimal ("18.5", "-1e-3") or sexagesimal with ':' or ' ' between the fields ("12:30:36",
// "-00 30 00"); the sign of the first field applies to the whole value. Nothing else is accepted.
std::optional<double> parseNumber(std::string_view text);

} // namespace telescope::indi
