// Record-file lines back to reading codes.
#include "ReplayCodes.h"

#include <charconv>

namespace qelsim {

std::optional<std::uint8_t> recordLineCode(std::string_view line) {
    const auto first = line.find(':');
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto second = line.find(':', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;

    const std::string_view hex = line.substr(0, first);
    std::string_view dec = line.substr(first + 1, second - first - 1);
    while (!dec.empty() && dec.front() == ' ') // the live panel pads the code to three characters
        dec.remove_prefix(1);

    unsigned fromHex = 0;
    unsigned fromDec = 0;
    const auto h = std::from_chars(hex.data(), hex.data() + hex.size(), fromHex, 16);
    const auto d = std::from_chars(dec.data(), dec.data() + dec.size(), fromDec, 10);
    if (hex.empty() || dec.empty() || h.ec != std::errc{} || h.ptr != hex.data() + hex.size() ||
        d.ec != std::errc{} || d.ptr != dec.data() + dec.size() || fromDec > 255 || fromHex != fromDec)
        return std::nullopt;
    return static_cast<std::uint8_t>(fromDec);
}

ReplayCodes readReplayCodes(std::istream& in) {
    ReplayCodes result;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const auto code = recordLineCode(line);
        if (!code) {
            result.error = "line " + std::to_string(number) + ": not a record line";
            return result;
        }
        result.codes.push_back(*code);
    }
    return result;
}

} // namespace qelsim
