// The simulator's Alpaca side in plain C++: one HTTP request (verb, path, parameters) in, one answer out, for
// telescope 0 over a MountModel, the management API, the switchable faults and the request log.
#pragma once

#include "MountModel.h"

#include <map>
#include <string>
#include <vector>

namespace mountsim {

enum class Fault {
    None,
    NotConnected, // the mount has lost its connection: members answer 0x407
    Parked,       // the mount is parked: pulse guiding answers 0x408
    Overlap,      // every pulse answers 0x40B, as if one were still running
    Http500,      // every device request answers HTTP 500 with a text body
    Slow,         // answers are held back (the server applies the delay)
    Malformed,    // device answers are cut-off JSON
    Hang,         // device requests are taken and never answered, as by a server that has locked up
};

// Names as the control request and the --fault option spell them: none, not-connected, parked, overlap,
// http-500, slow, malformed, hang. False for an unknown name.
bool parseFault(const std::string& name, Fault& fault);

struct Request {
    std::string verb;                               // "GET", "PUT"
    std::string path;                               // without the query
    std::multimap<std::string, std::string> params; // query (GET) or form body (PUT), decoded
};

struct Answer {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    int delayMs = 0; // how long the server holds the answer back; < 0: never answered
};

class AlpacaDevice {
public:
    AlpacaDevice(MountModel& mount, int interfaceVersion);

    // now: seconds on the mount's clock.
    Answer handle(const Request& request, double now);

    Fault fault = Fault::None;
    int slowMs = 8000;
    // Every request, one line each: "PUT /api/v1/telescope/0/guideraterightascension
    // GuideRateRightAscension=0.002 ...".
    std::vector<std::string> requestLog;

private:
    Answer device(const std::string& member, const Request& request, double now);
    Answer control(const Request& request);

    MountModel& m_mount;
    int m_interfaceVersion;
    unsigned m_serverTransaction = 0;
};

} // namespace mountsim
