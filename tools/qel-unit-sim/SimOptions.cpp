// Command line of qel-unit-sim.
#include "SimOptions.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "acquisition/AcquisitionMode.h"

namespace qelsim {

namespace {

template <typename T>
std::optional<T> number(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

double rateForVersion(std::string_view versionText) {
    return acquisition::isFiveHzVersion(versionText) ? fiveHzRate : standardRate;
}

ParsedOptions parseSimOptions(const std::vector<std::string_view>& args) {
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    const auto fail = [&parsed](std::string message) {
        parsed.error = std::move(message);
        return parsed;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view flag = args[i];
        if (flag == "-h" || flag == "--help") {
            parsed.help = true;
            return parsed;
        }
        if (flag == "--no-link") {
            o.makeLink = false;
            continue;
        }
        if (flag == "--hold") {
            o.hold = true;
            continue;
        }
        if (flag == "--drop-unread") {
            o.dropUnread = true;
            continue;
        }
        static constexpr std::string_view withValue[] = {
            "--port",  "--dir",     "--rate",   "--version",   "--seed",
            "--count", "--seconds", "--replay", "--codes-out", "--worm-period"};
        if (std::find(std::begin(withValue), std::end(withValue), flag) == std::end(withValue))
            return fail("unknown option " + std::string(flag));
        if (i + 1 == args.size())
            return fail(std::string(flag) + " needs a value");
        const std::string_view value = args[++i];
        const std::string bad = std::string(flag) + ": not understood: \"" + std::string(value) + "\"";

        if (flag == "--port") {
            const auto n = number<int>(value);
            if (!n || *n < 1 || *n > 255)
                return fail(bad + " (1 to 255)");
            o.port = *n;
        } else if (flag == "--dir") {
            o.dir = value;
        } else if (flag == "--rate") {
            const auto r = number<double>(value);
            if (!r || !(*r > 0.0) || *r > lineRate)
                return fail(bad + " (readings per second, above 0 and at most 960)");
            o.rate = *r;
        } else if (flag == "--version") {
            o.rate = rateForVersion(value);
        } else if (flag == "--seed") {
            const auto s = number<std::uint32_t>(value);
            if (!s)
                return fail(bad);
            o.seed = *s;
        } else if (flag == "--count") {
            const auto c = number<std::uint64_t>(value);
            if (!c)
                return fail(bad);
            o.count = *c;
        } else if (flag == "--seconds") {
            const auto s = number<double>(value);
            if (!s || !(*s >= 0.0))
                return fail(bad);
            o.seconds = *s;
        } else if (flag == "--worm-period") {
            const auto p = number<double>(value);
            if (!p || !(*p > 0.0))
                return fail(bad + " (seconds, above 0)");
            o.wormPeriod = *p;
        } else if (flag == "--replay") {
            o.replayFile = value;
        } else { // --codes-out
            o.codesOut = value;
        }
    }
    return parsed;
}

std::string simUsage() {
    return "usage: qel-unit-sim [options]\n"
           "A simulated QEL unit on a pseudo-terminal: one byte per reading, c = 127 - 8 x TE.\n"
           "  --port N          make the link COM<N> (1 to 255; default 1)\n"
           "  --dir DIR         directory for the link (default: the current directory)\n"
           "  --no-link         make no link; only print the pseudo-terminal's path\n"
           "  --rate R          readings per second (default 8; 5 for the 5 Hz unit; at most 960)\n"
           "  --version TEXT    rate of that unit version: \"2.5 (5 Hz nom.)\" is 5, others 8\n"
           "  --seed S          seed of the noise and drift (default 1)\n"
           "  --worm-period S   period of the simulated worm's error in seconds (default 480)\n"
           "  --count N         stop after N readings\n"
           "  --seconds S       stop after S seconds\n"
           "  --replay FILE     send the codes of a record file (HEX:DEC: ... lines) instead\n"
           "  --codes-out FILE  write each code sent, one per line\n"
           "  --hold            after the last reading keep the port open until interrupted\n"
           "  --drop-unread     discard readings left unread for 2 s, as a line nobody listens to\n"
           "Prints \"qel-unit-sim: COM<N> -> <device>\" (or the device alone) when ready and\n"
           "\"qel-unit-sim: sent <n> readings\" at exit; removes the link it made.\n";
}

} // namespace qelsim
