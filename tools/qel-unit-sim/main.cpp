// qel-unit-sim: a simulated QEL unit for development, tests and the demo. It makes a pseudo-terminal,
// links COM<n> in a directory to it (the recorder opens COM<n> from its working directory) and sends
// one byte per reading at the unit's rate until a count, a time or a signal ends it.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "PseudoTerminal.h"
#include "ReplayCodes.h"
#include "SimOptions.h"
#include "TrackingErrorSignal.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Sleeps until `when`, in short slices so that a signal ends the wait promptly.
void sleepUntil(Clock::time_point when) {
    while (!stopRequested && Clock::now() < when)
        std::this_thread::sleep_until(std::min(when, Clock::now() + std::chrono::milliseconds(50)));
}

std::string systemError() {
    return std::strerror(errno);
}

struct Tally {
    std::uint64_t sent = 0;
    std::uint64_t notSent = 0;   // the pseudo-terminal's buffer was full
    std::uint64_t discarded = 0; // left unread and thrown away (--drop-unread)
};

std::string tallyLine(const Tally& t) {
    std::string line = "qel-unit-sim: sent " + std::to_string(t.sent) + " readings";
    if (t.notSent > 0)
        line += "; " + std::to_string(t.notSent) + " not sent (buffer full, nobody reading)";
    if (t.discarded > 0)
        line += "; " + std::to_string(t.discarded) + " discarded unread";
    return line;
}

int run(const qelsim::SimOptions& options) {
    std::vector<std::uint8_t> replay;
    if (!options.replayFile.empty()) {
        std::ifstream in(options.replayFile);
        if (!in) {
            std::cerr << "qel-unit-sim: cannot read " << options.replayFile << ": " << systemError() << '\n';
            return 1;
        }
        auto codes = qelsim::readReplayCodes(in);
        if (!codes.error.empty()) {
            std::cerr << "qel-unit-sim: " << options.replayFile << ": " << codes.error << '\n';
            return 1;
        }
        replay = std::move(codes.codes);
    }

    std::ofstream codesOut;
    if (!options.codesOut.empty()) {
        codesOut.open(options.codesOut, std::ios::trunc);
        if (!codesOut) {
            std::cerr << "qel-unit-sim: cannot write " << options.codesOut << ": " << systemError() << '\n';
            return 1;
        }
    }

    std::string error;
    qelsim::Pty pty;
    if (!pty.create(error)) {
        std::cerr << "qel-unit-sim: " << error << '\n';
        return 1;
    }
    installSignalHandlers();
    qelsim::ComLink link;
    const std::string comName = "COM" + std::to_string(options.port);
    if (options.makeLink) {
        if (!link.make(fs::path(options.dir) / comName, pty.slavePath, error)) {
            std::cerr << "qel-unit-sim: " << error << '\n';
            return 1;
        }
        std::cout << "qel-unit-sim: " << comName << " -> " << pty.slavePath << std::endl;
    } else {
        std::cout << "qel-unit-sim: " << pty.slavePath << std::endl;
    }

    qelsim::TrackingErrorSignal model(qelsim::ErrorModel{}, options.seed, options.rate);
    const auto interval = std::chrono::duration<double>(1.0 / options.rate);
    const auto unreadLimit = std::max(16, static_cast<int>(2.0 * options.rate));
    const auto start = Clock::now();
    Tally tally;
    for (std::uint64_t k = 0; !stopRequested; ++k) {
        const double at = static_cast<double>(k) / options.rate;
        if ((options.count && k >= *options.count) || (options.seconds && at >= *options.seconds) ||
            (!options.replayFile.empty() && k >= replay.size()))
            break;
        sleepUntil(start + std::chrono::duration_cast<Clock::duration>(interval * static_cast<double>(k)));
        if (stopRequested)
            break;

        if (options.dropUnread) {
            const int waiting = pty.unread();
            if (waiting >= unreadLimit) {
                tcflush(pty.slave, TCIFLUSH);
                tally.discarded += static_cast<std::uint64_t>(waiting);
            }
        }
        const std::uint8_t code = options.replayFile.empty() ? model.nextCode() : replay[k];
        const ssize_t n = ::write(pty.master, &code, 1);
        if (n == 1) {
            ++tally.sent;
            if (codesOut.is_open())
                codesOut << static_cast<int>(code) << '\n';
        } else if (errno == EAGAIN || errno == EINTR) {
            ++tally.notSent;
        } else {
            std::cerr << "qel-unit-sim: cannot write to " << pty.slavePath << ": " << systemError() << '\n';
            break;
        }
    }
    codesOut.close();

    // Give a reader the last readings before the line goes away: closing the pseudo-terminal throws
    // away what is still unread, and just-written bytes take a moment to show up as unread at all.
    const auto drainBy = Clock::now() + std::chrono::seconds(2);
    auto emptySince = Clock::now();
    while (!stopRequested && Clock::now() < drainBy &&
           Clock::now() - emptySince < std::chrono::milliseconds(200)) {
        if (pty.unread() > 0)
            emptySince = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    while (options.hold && !stopRequested)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    std::cout << tallyLine(tally) << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto parsed = qelsim::parseSimOptions(args);
    if (parsed.help) {
        std::cout << qelsim::simUsage();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "qel-unit-sim: " << parsed.error << '\n' << qelsim::simUsage();
        return 2;
    }
    return run(parsed.options);
}
