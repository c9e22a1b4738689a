// Command line of qel-unit-sim.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelsim {

// Readings per second: the standard units send 8, the 5 Hz unit 5; 960 is all a 9600-baud 8N1 line carries.
inline constexpr double standardRate = 8.0;
inline constexpr double fiveHzRate = 5.0;
inline constexpr double lineRate = 960.0;

struct SimOptions {
    int port = 1; // makes COM<port> in `dir`
    std::string dir = ".";
    bool makeLink = true; // false: only print the pseudo-terminal's path
    double rate = standardRate;
    std::uint32_t seed = 1;
    double wormPeriod = 480.0;          // s
    std::optional<std::uint64_t> count; // stop after this many readings
    std::optional<double> seconds;      // stop after this long
    std::string replayFile;             // send the codes of this record file instead of the model's
    std::string codesOut;               // write every code sent, one decimal per line
    bool hold = false;                  // after the last reading keep the port until a signal
    bool dropUnread = false;            // discard readings nobody reads, as a line without a listener does
};

struct ParsedOptions {
    SimOptions options;
    bool help = false;
    std::string error; // empty when the command line was understood
};

// Readings per second for a version text of the recorder's version list: 5 for the 5 Hz unit, else 8.
double rateForVersion(std::string_view versionText);

ParsedOptions parseSimOptions(const std::vector<std::string_view>& args);
std::string simUsage();

} // namespace qelsim
