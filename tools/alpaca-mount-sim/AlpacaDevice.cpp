// The simulated Alpaca telescope's answers.
#include "AlpacaDevice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace mountsim {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// GET keys are matched without regard to case, PUT keys exactly.
const std::string* param(const Request& r, const std::string& key) {
    for (const auto& [k, v] : r.params)
        if (r.verb == "GET" ? lower(k) == lower(key) : k == key)
            return &v;
    return nullptr;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string number(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

Answer text(int status, std::string body) {
    return Answer{status, "text/plain", std::move(body), 0};
}

} // namespace

bool parseFault(const std::string& name, Fault& fault) {
    static const std::map<std::string, Fault> names{
        {"none", Fault::None},           {"not-connected", Fault::NotConnected},
        {"parked", Fault::Parked},       {"overlap", Fault::Overlap},
        {"http-500", Fault::Http500},    {"slow", Fault::Slow},
        {"malformed", Fault::Malformed}, {"hang", Fault::Hang}};
    const auto it = names.find(name);
    if (it == names.end())
        return false;
    fault = it->second;
    return true;
}

AlpacaDevice::AlpacaDevice(MountModel& mount, int interfaceVersion)
    : m_mount(mount)
    , m_interfaceVersion(interfaceVersion) {}

Answer AlpacaDevice::handle(const Request& request, double now) {
    std::string line = request.verb + " " + request.path;
    for (const auto& [k, v] : request.params)
        line += " " + k + "=" + v;
    if (!request.path.starts_with("/sim/"))
        requestLog.push_back(line);

    if (request.path.starts_with("/sim/"))
        return control(request);
    if (request.path == "/management/apiversions")
        return Answer{200, "application/json",
                      "{\"Value\":[1],\"ClientTransactionID\":0,\"ServerTransactionID\":0}", 0};
    if (request.path == "/management/v1/configureddevices")
        return Answer{200, "application/json",
                      "{\"Value\":[{\"DeviceName\":\"Alpaca Mount Simulator\",\"DeviceType\":\"Telescope\","
                      "\"DeviceNumber\":0,\"UniqueID\":\"6e0c5c3a-4b0f-4d8e-9a51-0f6f1a7c2b11\"}],"
                      "\"ClientTransactionID\":0,\"ServerTransactionID\":0}",
                      0};
    const std::string prefix = "/api/v1/telescope/0/";
    if (!request.path.starts_with(prefix))
        return text(400, "no such device: " + request.path);
    Answer answer = device(request.path.substr(prefix.size()), request, now);
    if (fault == Fault::Http500)
        answer = text(500, "simulated device fault");
    else if (fault == Fault::Malformed && answer.status == 200)
        answer.body = answer.body.substr(0, answer.body.size() / 2);
    else if (fault == Fault::Slow)
        answer.delayMs = slowMs;
    else if (fault == Fault::Hang)
        answer.delayMs = -1;
    return answer;
}

Answer AlpacaDevice::device(const std::string& member, const Request& r, double now) {
    const std::string* clientTx = param(r, "ClientTransactionID");
    const long echoed = clientTx ? std::strtol(clientTx->c_str(), nullptr, 10) : 0;
    auto reply = [&](const std::string& value, int error = 0, const std::string& message = {}) {
        std::string body = "{";
        if (!value.empty() && error == 0)
            body += "\"Value\":" + value + ",";
        body += "\"ClientTransactionID\":" + std::to_string(echoed) +
                ",\"ServerTransactionID\":" + std::to_string(++m_serverTransaction) +
                ",\"ErrorNumber\":" + std::to_string(error) + ",\"ErrorMessage\":" + jsonString(message) +
                "}";
        return Answer{200, "application/json", body, 0};
    };
    auto fail = [&](int error) {
        static const std::map<int, std::string> messages{
            {errorInvalidValue, "Invalid value"},
            {errorNotConnected, "The mount is not connected"},
            {errorParked, "The mount is parked"},
            {errorInvalidOperation, "A pulse is still running on that axis"}};
        return reply({}, error, messages.at(error));
    };
    auto boolean = [](bool b) {
        return std::string(b ? "true" : "false");
    };
    const bool isGet = r.verb == "GET";
    const bool lostConnection = fault == Fault::NotConnected;
    const bool connectedNow = m_mount.connected && !lostConnection;

    if (member == "interfaceversion" && isGet)
        return reply(std::to_string(m_interfaceVersion));
    if (member == "name" && isGet)
        return reply("\"Alpaca Mount Simulator\"");
    if (member == "connected") {
        if (isGet)
            return reply(boolean(connectedNow));
        const std::string* v = param(r, "Connected");
        if (!v)
            return text(400, "missing parameter Connected");
        const std::string value = lower(*v);
        if (value != "true" && value != "false")
            return fail(errorInvalidValue);
        m_mount.connected = value == "true";
        return reply({});
    }
    if (m_interfaceVersion >= 4) {
        if (member == "connect" && !isGet) {
            m_mount.connected = true;
            return reply({});
        }
        if (member == "disconnect" && !isGet) {
            m_mount.connected = false;
            return reply({});
        }
        if (member == "connecting" && isGet)
            return reply("false");
    }
    auto isMember = [&](const char* name, bool get) {
        return member == name && isGet == get;
    };
    const bool known = isMember("cansetguiderates", true) || isMember("canpulseguide", true) ||
                       isMember("canunpark", true) || member == "guideraterightascension" ||
                       member == "guideratedeclination" || isMember("rightascension", true) ||
                       isMember("declination", true) || isMember("atpark", true) ||
                       isMember("ispulseguiding", true) || isMember("pulseguide", false) ||
                       isMember("unpark", false);
    if (!known)
        return text(400, "unknown member " + r.verb + " " + member);
    if (!connectedNow)
        return fail(errorNotConnected);

    if (member == "cansetguiderates")
        return reply(boolean(m_mount.canSetGuideRates));
    if (member == "canpulseguide" || member == "canunpark")
        return reply("true");
    if (member == "rightascension")
        return reply(number(m_mount.rightAscension(now)));
    if (member == "declination")
        return reply(number(m_mount.declination(now)));
    if (member == "atpark")
        return reply(boolean(m_mount.atPark || fault == Fault::Parked));
    if (member == "ispulseguiding")
        return reply(boolean(m_mount.isPulseGuiding(now)));
    if (member == "unpark") {
        m_mount.atPark = false;
        if (fault == Fault::Parked)
            fault = Fault::None;
        return reply({});
    }
    if (member == "guideraterightascension" || member == "guideratedeclination") {
        const bool ra = member == "guideraterightascension";
        if (isGet)
            return reply(number(ra ? m_mount.guideRateRa() : m_mount.guideRateDec()));
        if (!m_mount.canSetGuideRates)
            return reply({}, 0x400, "Guide rates cannot be set");
        const std::string* v = param(r, ra ? "GuideRateRightAscension" : "GuideRateDeclination");
        if (!v)
            return text(400, "missing parameter " +
                                 std::string(ra ? "GuideRateRightAscension" : "GuideRateDeclination"));
        char* end = nullptr;
        const double rate = std::strtod(v->c_str(), &end);
        if (end == v->c_str() || *end != '\0')
            return fail(errorInvalidValue);
        const int error = ra ? m_mount.setGuideRateRa(rate) : m_mount.setGuideRateDec(rate);
        return error ? fail(error) : reply({});
    }
    // pulseguide
    const std::string* direction = param(r, "Direction");
    const std::string* duration = param(r, "Duration");
    if (!direction || !duration)
        return text(400, "missing parameter Direction or Duration");
    if (fault == Fault::Parked)
        return fail(errorParked);
    if (fault == Fault::Overlap)
        return fail(errorInvalidOperation);
    const int error = m_mount.pulseGuide(std::atoi(direction->c_str()), std::atoi(duration->c_str()), now);
    return error ? fail(error) : reply({});
}

// /sim/fault (PUT Fault=<name>), /sim/park (PUT), /sim/requests (GET: the request log, one line each).
Answer AlpacaDevice::control(const Request& r) {
    if (r.path == "/sim/requests" && r.verb == "GET") {
        std::string body;
        for (const auto& line : requestLog)
            body += line + "\n";
        return text(200, body);
    }
    if (r.path == "/sim/fault" && r.verb == "PUT") {
        const std::string* name = param(r, "Fault");
        if (!name || !parseFault(*name, fault))
            return text(400, "unknown fault");
        return text(200, "fault " + *name + "\n");
    }
    if (r.path == "/sim/park" && r.verb == "PUT") {
        m_mount.atPark = true;
        return text(200, "parked\n");
    }
    return text(400, "unknown control request");
}

} // namespace mountsim
