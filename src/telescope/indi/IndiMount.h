// One INDI telescope seen through the members of telescope::Driver: which properties each member reads or
// writes, what answer completes it, when it times out, and the checks INDI leaves to the client (parked, a
// pulse still running). Plain C++ with the time passed in; IndiDriver joins it to a socket and a timer.
#pragma once

#include "telescope/Driver.h"
#include "telescope/indi/IndiAddress.h"
#include "telescope/indi/IndiMessage.h"
#include "telescope/indi/IndiProperties.h"

#include <cstdint>
#include <functional>
#include <list>
#include <string>

namespace telescope::indi {

// Numbers of the failures this side decides (the ASCOM numbers, so that every backend reports them alike).
inline constexpr int failureNotImplemented = 0x400;
inline constexpr int failureInvalidValue = 0x401;
inline constexpr int failureNotConnected = 0x407;
inline constexpr int failureParked = 0x408;
inline constexpr int failurePulseRunning = 0x40B;

// How long an answer may take when the device names no time of its own, and the slack on a pulse's end.
inline constexpr std::int64_t answerLimitMs = 5000;

class IndiMount {
public:
    using Send = std::function<void(const std::string& xml)>;
    using Notice = std::function<void(const std::string& text)>;

    // send: writes one command to the server. notice: the device's own warnings and errors (not its [INFO]
    // and [DEBUG] lines) and Alerts that no call was waiting for, in words, for the operator.
    IndiMount(IndiAddress address, Send send, Notice notice);

    const IndiAddress& address() const { return m_address; }

    // The link to the server. Every time is a monotonic clock in milliseconds.
    void linkUp(std::int64_t nowMs);
    // Fails every pending call with failureUnreachable and why (which should name the server); until the next
    // linkUp every call fails the same way.
    void linkLost(const std::string& why);
    void receive(const Message& message, std::int64_t nowMs);
    // Fails the calls whose time is up and frees an axis whose pulse never reported its end.
    void expire(std::int64_t nowMs);
    // True while something waits for an answer or a pulse's end: expire() must then be called now and then.
    bool waiting() const;

    // The members of telescope::Driver (see there). A callback may run inside the call itself.
    void open(Callback<Done> done, std::int64_t nowMs);
    // Switches CONNECTION on unless the device is connected already (by another client of the server): only
    // a device connected here is disconnected by disconnect().
    void connect(Callback<Done> done, std::int64_t nowMs);
    // Sends DISCONNECT if connect() connected the device on this link. True when a command went out.
    bool disconnect();
    void connected(Callback<bool> done);
    void canSetGuideRates(Callback<bool> done);
    void setGuideRate(bool rightAscension, double multiple, Callback<Done> done, std::int64_t nowMs);
    void guideRate(bool rightAscension, Callback<double> done);
    void coordinate(bool rightAscension, Callback<double> done, std::int64_t nowMs);
    void atPark(Callback<bool> done);
    void unpark(Callback<Done> done, std::int64_t nowMs);
    void pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done, std::int64_t nowMs);

private:
    enum class Verdict { Waiting, Success, Failed };
    struct Waiter {
        std::string property; // judged on every def/set of this property of the device
        std::int64_t deadlineMs = 0;
        std::function<Verdict(const Message&, Failure&)> judge;
        std::function<std::optional<Failure>()> timedOut; // the outcome when the time is up
        std::function<void(const Failure*)> finish;       // nullptr: success
    };
    struct Axis {
        bool busy = false;
        std::int64_t untilMs = 0;
    };

    void wait(Waiter waiter);
    void failAll(const Failure& failure, const std::string& property = {});
    void trackOn(Callback<Done> done, std::int64_t nowMs);
    // The failure that stops a call to a connected device, if any.
    std::optional<Failure> notReady() const;
    bool deviceConnected() const;
    std::int64_t limitFor(const std::string& property) const;
    Failure missing(const std::string& property, const std::string& what) const;
    Axis& axis(const std::string& property);
    std::string named() const; // "Telescope Simulator on the INDI server at 127.0.0.1:7624"

    IndiAddress m_address;
    Send m_send;
    Notice m_notice;
    PropertyStore m_store;
    std::list<Waiter> m_waiters;
    Axis m_westEast;
    Axis m_northSouth;
    std::int64_t m_nowMs = 0; // the time of the last message or expiry, for steps that follow an answer
    bool m_linkUp = false;
    bool m_connectedByUs = false; // this link's connect() switched CONNECTION on
    std::string m_linkDown;
    bool m_awaitingCoordinates =
        false; // connected just now: the coordinates' first definition holds placeholders
    double m_wantedRate[2] = {-1, -1}; // guide rates asked for and not yet confirmed (-1: none), RA then Dec
};

} // namespace telescope::indi
