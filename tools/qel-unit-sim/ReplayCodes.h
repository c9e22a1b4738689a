// Reading codes taken back out of a record file ("7E:126: 2013-Jan-05 21:14:07.42  TE: ..."), so that
// qel-unit-sim can send a recorded night again.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelsim {

// The code of one record line: the decimal field between the first and second ':', which must agree
// with the hexadecimal field before it. nullopt for anything else.
std::optional<std::uint8_t> recordLineCode(std::string_view line);

struct ReplayCodes {
    std::vector<std::uint8_t> codes;
    std::string error; // "line 12: not a record line"; empty when every line was read
};

// Every line of the stream; blank lines are skipped, anything else that is not a record line stops the
// read with an error naming the line.
ReplayCodes readReplayCodes(std::istream& in);

} // namespace qelsim
