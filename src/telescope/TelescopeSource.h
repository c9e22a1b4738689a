// Where the chooser finds telescopes: one source per backend (ASCOM Alpaca's discovery and management API,
// INDI servers). Plain C++ with callbacks like Driver; the sources run on the Qt event loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace telescope {

// One telescope the chooser can offer.
struct TelescopeEntry {
    std::string id;    // the identifier the chooser returns (see DriverId)
    std::string name;  // the device's own name, e.g. "Alpaca Mount Simulator"
    std::string where; // the server, e.g. "127.0.0.1:11111"
};

// The end of a search: what was found, and in words what went wrong (empty when nothing did). A search that
// found some servers but not others reports both.
using SearchDone = std::function<void(const std::vector<TelescopeEntry>& found, const std::string& problem)>;

class TelescopeSource {
public:
    virtual ~TelescopeSource() = default;

    // The backend's name as the chooser shows it ("ASCOM Alpaca").
    virtual std::string name() const = 0;
    // The server port the chooser proposes for a server typed by hand.
    virtual std::uint16_t defaultPort() const = 0;
    // Searches the network the source was pointed at (never broadcast unless so configured). done runs once,
    // later, unless the source is destroyed first.
    virtual void search(SearchDone done) = 0;
    // Lists the telescopes of one server typed by hand.
    virtual void askServer(const std::string& host, std::uint16_t port, SearchDone done) = 0;
};

// A server to ask: host and port.
using Server = std::pair<std::string, std::uint16_t>;
using AskServer = std::function<void(const std::string& host, std::uint16_t port, SearchDone done)>;

// The fan-in of a search: asks every server at once and calls done once, after the last has answered, with
// everything found and every problem ("; " between them), after those already known. servers must not be
// empty.
void askEach(const std::vector<Server>& servers, const AskServer& ask, SearchDone done,
             std::string knownProblems = {});

} // namespace telescope
