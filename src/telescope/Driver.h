// The telescope driver as the recorder uses it: one interface for every backend (ASCOM Alpaca, INDI) and for
// the test double. Plain C++: the backends run on the Qt event loop, but callers only see callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace telescope {

// What a failed call reports: the device's own error number and message where it gave them (ASCOM numbers
// such as 0x407 not connected, 0x408 parked, 0x40B overlapping pulse; an HTTP status; an INDI Alert),
// otherwise one of the transport numbers below with a message that says what happened in words.
struct Failure {
    int number = 0;
    std::string message;
};

// A failure in the operator's words: the message, and the device's own number where it gave one: "A pulse
// is still running (ASCOM error 0x40B)", "simulated device fault (HTTP status 500)". Transport failures
// carry their story in the message alone.
std::string describeFailure(const Failure& failure);

// Transport failures that carry no number of the device's own.
inline constexpr int failureTimeout = -1;     // no answer within the call's time limit
inline constexpr int failureUnreachable = -2; // the device or server could not be reached, or went away
inline constexpr int failureMalformed = -3;   // the answer could not be understood
inline constexpr int failureRefused = -4; // the device refused in words only, with no number (an INDI Alert)

// The outcome of one call: a value, or the failure.
template <typename T>
struct Result {
    std::optional<T> value;
    Failure failure; // meaningful only when !ok()
    bool ok() const { return value.has_value(); }

    static Result success(T v) { return Result{std::move(v), {}}; }
    static Result failed(Failure f) { return Result{std::nullopt, std::move(f)}; }
};

struct Done {}; // the value of a call that returns nothing

// ASCOM guide directions; the numbers are the ones sent to the device.
enum class GuideDirection : std::int16_t { North = 0, South = 1, East = 2, West = 3 };

template <typename T>
using Callback = std::function<void(const Result<T>&)>;

// Every member returns at once and never blocks; its callback runs later, exactly once, on the thread that
// made the call (the UI thread), unless the driver is destroyed first: a destroyed driver drops its pending
// callbacks without calling them, so a caller that owns its driver may capture itself.
class Driver {
public:
    virtual ~Driver() = default;

    // The identifier this driver was made from, e.g. "alpaca://127.0.0.1:11111/telescope/0".
    virtual std::string id() const = 0;

    // Reach the device and make sure it is a telescope. Fails when it cannot be reached or is something else.
    virtual void open(Callback<Done> done) = 0;

    // Connected = true (the mount's connection, not the transport's). Notes whether the mount was connected
    // already (by another program sharing the device): such a mount is left connected by close().
    virtual void connect(Callback<Done> done) = 0;
    // Lets the mount go and ends the link: tells the device to disconnect the mount only if this driver's
    // connect() connected it (a mount another program connected, or one never reached, is left as it is),
    // then closes the link once that command has left. `closed` runs exactly once when that is done, or
    // when the command's time limit has passed (possibly inside this call); only then may the owner destroy
    // the driver. Answers to calls still out are not awaited. Safe in any state.
    virtual void close(std::function<void()> closed) = 0;
    virtual void connected(Callback<bool> done) = 0;

    virtual void canSetGuideRates(Callback<bool> done) = 0;
    // Guide rates as multiples of the sidereal rate of 15 arcseconds per second (0.5 = 7.5 "/s): the unit of
    // the rate list and of the pulse lengths. Each backend converts to what its device speaks.
    virtual void setGuideRateRightAscension(double multiple, Callback<Done> done) = 0;
    virtual void setGuideRateDeclination(double multiple, Callback<Done> done) = 0;
    virtual void guideRateRightAscension(Callback<double> done) = 0;
    virtual void guideRateDeclination(Callback<double> done) = 0;

    virtual void rightAscension(Callback<double> done) = 0; // hours, 0 <= RA < 24
    virtual void declination(Callback<double> done) = 0;    // degrees, -90 ... +90

    virtual void atPark(Callback<bool> done) = 0;
    virtual void unpark(Callback<Done> done) = 0;
    // Starts a pulse of durationMs milliseconds (0 ... 32767) and answers once the device has taken it; it
    // does not wait for the pulse to end.
    virtual void pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done) = 0;
};

} // namespace telescope
