// The members of telescope::Driver in INDI terms (see IndiMount.h).
#include "telescope/indi/IndiMount.h"

#include "telescope/indi/IndiCommands.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace telescope::indi {

namespace {

const std::string connection = "CONNECTION";
const std::string coordinates = "EQUATORIAL_EOD_COORD";
const std::string guideRates = "GUIDE_RATE";
const std::string park = "TELESCOPE_PARK";
const std::string trackState = "TELESCOPE_TRACK_STATE";
const std::string pulseWestEast = "TELESCOPE_TIMED_GUIDE_WE";
const std::string pulseNorthSouth = "TELESCOPE_TIMED_GUIDE_NS";
const std::string driverInfo = "DRIVER_INFO";

bool settledAs(const Message& m, PropertyState a, PropertyState b) {
    return m.state == a || m.state == b;
}

Failure alertOf(const Message& m, const std::string& named, const std::string& action) {
    const std::string why = m.text.empty() ? std::string("no reason given") : m.text;
    return Failure{failureRefused, named + " refused to " + action + ": " + why};
}

} // namespace

IndiMount::IndiMount(IndiAddress address, Send send, Notice notice)
    : m_address(std::move(address))
    , m_send(std::move(send))
    , m_notice(std::move(notice))
    , m_linkDown("Not connected to the INDI server at " + m_address.server()) {}

std::string IndiMount::named() const {
    return "\"" + m_address.device + "\" on the INDI server at " + m_address.server();
}

void IndiMount::linkUp(std::int64_t) {
    m_linkUp = true;
    m_store.clear();
    m_send(getPropertiesCommand(m_address.device));
}

void IndiMount::linkLost(const std::string& why) {
    m_linkUp = false;
    m_linkDown = why;
    m_store.clear();
    m_westEast = {};
    m_northSouth = {};
    failAll(Failure{failureUnreachable, why});
}

bool IndiMount::waiting() const {
    return !m_waiters.empty() || m_westEast.busy || m_northSouth.busy;
}

bool IndiMount::deviceConnected() const {
    return m_store.switchOn(m_address.device, connection, "CONNECT").value_or(false);
}

IndiMount::Axis& IndiMount::axis(const std::string& property) {
    return property == pulseWestEast ? m_westEast : m_northSouth;
}

std::int64_t IndiMount::limitFor(const std::string& property) const {
    const Property* p = m_store.find(m_address.device, property);
    const double seconds = p ? p->timeoutSeconds : 0;
    return std::clamp<std::int64_t>(static_cast<std::int64_t>(seconds * 1000), answerLimitMs, 60000);
}

std::optional<Failure> IndiMount::notReady() const {
    if (!m_linkUp)
        return Failure{failureUnreachable, m_linkDown};
    if (!deviceConnected())
        return Failure{failureNotConnected, named() + " is not connected"};
    return std::nullopt;
}

Failure IndiMount::missing(const std::string& property, const std::string& what) const {
    return Failure{failureNotImplemented, named() + " has no " + property + ", so it cannot " + what};
}

void IndiMount::wait(Waiter waiter) {
    m_waiters.push_back(std::move(waiter));
}

void IndiMount::failAll(const Failure& failure, const std::string& property) {
    std::vector<std::function<void(const Failure*)>> finished;
    for (auto it = m_waiters.begin(); it != m_waiters.end();) {
        if (property.empty() || it->property == property) {
            finished.push_back(std::move(it->finish));
            it = m_waiters.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& finish : finished)
        finish(&failure);
}

void IndiMount::receive(const Message& m, std::int64_t nowMs) {
    m_nowMs = nowMs;
    if (m.kind == MessageKind::PingRequest) {
        m_send(pingReplyCommand(m.uid));
        return;
    }
    if (m.device != m_address.device)
        return;
    if (m.kind == MessageKind::Note) {
        if (!m.text.empty())
            m_notice(m_address.device + ": " + m.text);
        return;
    }
    const bool wasConnected = deviceConnected();
    m_store.apply(m);
    if (!wasConnected && deviceConnected())
        m_awaitingCoordinates = true;
    if (m.kind == MessageKind::Set && m.name == coordinates)
        m_awaitingCoordinates = false;

    if (m.kind == MessageKind::Delete) {
        if (m.name.empty()) {
            m_westEast = {};
            m_northSouth = {};
            failAll(
                Failure{failureUnreachable, named() + " was removed from the server (its driver stopped?)"});
        } else {
            if (m.name == pulseWestEast || m.name == pulseNorthSouth)
                axis(m.name) = {};
            failAll(Failure{failureNotConnected,
                            named() + " withdrew " + m.name + " (was the mount disconnected?)"},
                    m.name);
        }
        return;
    }

    std::vector<std::pair<std::function<void(const Failure*)>, std::optional<Failure>>> finished;
    for (auto it = m_waiters.begin(); it != m_waiters.end();) {
        Failure failure;
        const Verdict verdict = it->property == m.name ? it->judge(m, failure) : Verdict::Waiting;
        if (verdict == Verdict::Waiting) {
            ++it;
            continue;
        }
        finished.emplace_back(std::move(it->finish),
                              verdict == Verdict::Failed ? std::optional<Failure>(failure) : std::nullopt);
        it = m_waiters.erase(it);
    }
    const bool pulse = m.name == pulseWestEast || m.name == pulseNorthSouth;
    if (pulse && m.kind == MessageKind::Set && m.state && *m.state != PropertyState::Busy)
        axis(m.name) = {};
    // An Alert that no call was waiting for (a pulse that ended badly, a device-side fault) still reaches the
    // operator.
    if (m.state == PropertyState::Alert && finished.empty() && m.kind == MessageKind::Set)
        m_notice(m_address.device + ": " + m.name + " in Alert" + (m.text.empty() ? "" : ": " + m.text));
    for (auto& [finish, failure] : finished)
        finish(failure ? &*failure : nullptr);
}

void IndiMount::expire(std::int64_t nowMs) {
    m_nowMs = nowMs;
    std::vector<std::pair<std::function<void(const Failure*)>, std::optional<Failure>>> finished;
    for (auto it = m_waiters.begin(); it != m_waiters.end();) {
        if (it->deadlineMs > nowMs) {
            ++it;
            continue;
        }
        finished.emplace_back(std::move(it->finish), it->timedOut());
        it = m_waiters.erase(it);
    }
    for (Axis* a : {&m_westEast, &m_northSouth}) {
        if (a->busy && a->untilMs <= nowMs) {
            *a = {};
            m_notice(named() + " never reported the end of a " +
                     (a == &m_westEast ? std::string("west/east") : std::string("north/south")) +
                     " guide pulse; pulses on that axis are sent again");
        }
    }
    for (auto& [finish, failure] : finished)
        finish(failure ? &*failure : nullptr);
}

void IndiMount::open(Callback<Done> done, std::int64_t nowMs) {
    if (!m_linkUp)
        return done(Result<Done>::failed({failureUnreachable, m_linkDown}));
    auto verdict = [this]() -> std::optional<Failure> {
        if (isTelescope(m_store, m_address.device).value_or(true))
            return std::nullopt;
        return Failure{failureNotImplemented, named() + " is not a telescope (its DRIVER_INTERFACE lacks the "
                                                        "telescope bit); choose a telescope"};
    };
    auto finish = [done](const Failure* f) {
        done(f ? Result<Done>::failed(*f) : Result<Done>::success({}));
    };
    if (m_store.find(m_address.device, driverInfo)) {
        const auto f = verdict();
        return finish(f ? &*f : nullptr);
    }
    wait({driverInfo, nowMs + answerLimitMs,
          [verdict](const Message&, Failure& f) {
              const auto refused = verdict();
              if (refused)
                  f = *refused;
              return refused ? Verdict::Failed : Verdict::Success;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureUnreachable, "The INDI server at " + m_address.server() +
                                                     " has no device named \"" + m_address.device +
                                                     "\"; check the name, or start its driver"};
          },
          finish});
}

void IndiMount::connect(Callback<Done> done, std::int64_t nowMs) {
    if (!m_linkUp)
        return done(Result<Done>::failed({failureUnreachable, m_linkDown}));
    if (!m_store.find(m_address.device, connection))
        return done(Result<Done>::failed(missing(connection, "be connected")));
    auto finish = [done](const Failure* f) {
        done(f ? Result<Done>::failed(*f) : Result<Done>::success({}));
    };
    // The device's other properties (park state, guide rates) follow its CONNECTION answer; the first
    // coordinate update comes after all of them, so the call ends there.
    auto awaitCoordinates = [this, finish](std::int64_t now) {
        if (!m_awaitingCoordinates)
            return finish(nullptr);
        wait({coordinates, now + answerLimitMs,
              [](const Message& m, Failure&) {
                  return m.kind == MessageKind::Set ? Verdict::Success : Verdict::Waiting;
              },
              [this]() -> std::optional<Failure> {
                  if (m_store.find(m_address.device, coordinates))
                      return std::nullopt;
                  return Failure{failureNotImplemented,
                                 named() + " connected but shows no position (no " + coordinates + ")"};
              },
              finish});
    };
    if (deviceConnected())
        return awaitCoordinates(nowMs);
    m_send(newSwitchOnCommand(m_address.device, connection, "CONNECT"));
    wait({connection, nowMs + limitFor(connection),
          [this](const Message& m, Failure& f) {
              if (m.state == PropertyState::Alert) {
                  f = alertOf(m, named(), "connect");
                  return Verdict::Failed;
              }
              return deviceConnected() && m.state == PropertyState::Ok ? Verdict::Success : Verdict::Waiting;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureTimeout, named() + " did not confirm the connection in time"};
          },
          [this, finish, awaitCoordinates](const Failure* f) {
              if (f)
                  return finish(f);
              awaitCoordinates(m_nowMs);
          }});
}

void IndiMount::disconnect() {
    if (m_linkUp && deviceConnected())
        m_send(newSwitchOnCommand(m_address.device, connection, "DISCONNECT"));
}

void IndiMount::connected(Callback<bool> done) {
    if (!m_linkUp)
        return done(Result<bool>::failed({failureUnreachable, m_linkDown}));
    done(Result<bool>::success(deviceConnected()));
}

void IndiMount::canSetGuideRates(Callback<bool> done) {
    if (const auto f = notReady())
        return done(Result<bool>::failed(*f));
    const Property* p = m_store.find(m_address.device, guideRates);
    done(Result<bool>::success(p && p->type == PropertyType::Number && p->perm != "ro"));
}

void IndiMount::setGuideRate(bool rightAscension, double multiple, Callback<Done> done, std::int64_t nowMs) {
    if (const auto f = notReady())
        return done(Result<Done>::failed(*f));
    if (!std::isfinite(multiple) || multiple < 0)
        return done(Result<Done>::failed({failureInvalidValue, "A guide rate must be zero or more"}));
    const auto we = m_store.number(m_address.device, guideRates, "GUIDE_RATE_WE");
    const auto ns = m_store.number(m_address.device, guideRates, "GUIDE_RATE_NS");
    if (!we || !ns)
        return done(Result<Done>::failed(missing(guideRates, "set its guide rates")));
    const int index = rightAscension ? 0 : 1;
    m_wantedRate[index] = multiple;
    // Both elements go out; the other one as last asked for, so that two writes in a row do not undo each
    // other.
    const double sendWe = m_wantedRate[0] >= 0 ? m_wantedRate[0] : *we;
    const double sendNs = m_wantedRate[1] >= 0 ? m_wantedRate[1] : *ns;
    m_send(newNumberCommand(m_address.device, guideRates,
                            {{"GUIDE_RATE_WE", sendWe}, {"GUIDE_RATE_NS", sendNs}}));
    const std::string element = rightAscension ? "GUIDE_RATE_WE" : "GUIDE_RATE_NS";
    wait({guideRates, nowMs + limitFor(guideRates),
          [this, element, multiple, index](const Message& m, Failure& f) {
              if (m.state == PropertyState::Alert) {
                  m_wantedRate[0] = m_wantedRate[1] = -1;
                  f = alertOf(m, named(), "take the guide rate");
                  return Verdict::Failed;
              }
              const auto now = m_store.number(m_address.device, guideRates, element);
              if (m.state == PropertyState::Busy || !now || std::abs(*now - multiple) > 1e-6)
                  return Verdict::Waiting;
              if (m_wantedRate[index] == multiple)
                  m_wantedRate[index] = -1;
              return Verdict::Success;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureTimeout, named() + " did not confirm the guide rate in time"};
          },
          [done](const Failure* f) {
              done(f ? Result<Done>::failed(*f) : Result<Done>::success({}));
          }});
}

void IndiMount::guideRate(bool rightAscension, Callback<double> done) {
    if (const auto f = notReady())
        return done(Result<double>::failed(*f));
    const auto value =
        m_store.number(m_address.device, guideRates, rightAscension ? "GUIDE_RATE_WE" : "GUIDE_RATE_NS");
    if (!value)
        return done(Result<double>::failed(missing(guideRates, "report its guide rates")));
    done(Result<double>::success(*value));
}

void IndiMount::coordinate(bool rightAscension, Callback<double> done, std::int64_t nowMs) {
    if (const auto f = notReady())
        return done(Result<double>::failed(*f));
    const std::string element = rightAscension ? "RA" : "DEC";
    auto read = [this, element, done](const Failure* f) {
        if (f)
            return done(Result<double>::failed(*f));
        const auto value = m_store.number(m_address.device, coordinates, element);
        if (!value)
            return done(Result<double>::failed(missing(coordinates, "report its position")));
        done(Result<double>::success(*value));
    };
    if (!m_awaitingCoordinates || !m_store.find(m_address.device, coordinates))
        return read(nullptr);
    wait({coordinates, nowMs + answerLimitMs,
          [](const Message& m, Failure&) {
              return m.kind == MessageKind::Set ? Verdict::Success : Verdict::Waiting;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureTimeout, named() + " has not sent its position yet"};
          },
          read});
}

void IndiMount::atPark(Callback<bool> done) {
    if (const auto f = notReady())
        return done(Result<bool>::failed(*f));
    // A mount without TELESCOPE_PARK cannot be parked.
    done(Result<bool>::success(m_store.switchOn(m_address.device, park, "PARK").value_or(false)));
}

void IndiMount::unpark(Callback<Done> done, std::int64_t nowMs) {
    if (const auto f = notReady())
        return done(Result<Done>::failed(*f));
    const auto parked = m_store.switchOn(m_address.device, park, "PARK");
    if (!parked)
        return done(Result<Done>::failed(missing(park, "be unparked")));
    if (!*parked)
        return trackOn(std::move(done), nowMs);
    m_send(newSwitchOnCommand(m_address.device, park, "UNPARK"));
    wait({park, nowMs + limitFor(park),
          [this](const Message& m, Failure& f) {
              if (m.state == PropertyState::Alert) {
                  f = alertOf(m, named(), "unpark");
                  return Verdict::Failed;
              }
              const bool out = !m_store.switchOn(m_address.device, park, "PARK").value_or(true);
              return out && settledAs(m, PropertyState::Ok, PropertyState::Idle) ? Verdict::Success
                                                                                 : Verdict::Waiting;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureTimeout, named() + " did not confirm the unpark in time"};
          },
          [this, done](const Failure* f) {
              if (f)
                  return done(Result<Done>::failed(*f));
              trackOn(done, m_nowMs);
          }});
}

// Unparking leaves tracking off; guiding needs it on.
void IndiMount::trackOn(Callback<Done> done, std::int64_t nowMs) {
    const auto tracking = m_store.switchOn(m_address.device, trackState, "TRACK_ON");
    if (!tracking || *tracking)
        return done(Result<Done>::success({}));
    m_send(newSwitchOnCommand(m_address.device, trackState, "TRACK_ON"));
    wait({trackState, nowMs + limitFor(trackState),
          [this](const Message& m, Failure& f) {
              if (m.state == PropertyState::Alert) {
                  f = alertOf(m, named(), "start tracking after the unpark");
                  return Verdict::Failed;
              }
              // Tracking shows as Busy on INDI mounts.
              const bool on = m_store.switchOn(m_address.device, trackState, "TRACK_ON").value_or(false);
              return on && m.state != PropertyState::Idle ? Verdict::Success : Verdict::Waiting;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureTimeout, named() + " was unparked but did not confirm tracking in time"};
          },
          [done](const Failure* f) {
              done(f ? Result<Done>::failed(*f) : Result<Done>::success({}));
          }});
}

void IndiMount::pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done,
                           std::int64_t nowMs) {
    if (durationMs < 0 || durationMs > 32767)
        return done(
            Result<Done>::failed({failureInvalidValue, "A guide pulse of " + std::to_string(durationMs) +
                                                           " ms is out of range (0 to 32767)"}));
    if (const auto f = notReady())
        return done(Result<Done>::failed(*f));
    // INDI mounts guide even while parked; the operator is asked to unpark instead.
    if (m_store.switchOn(m_address.device, park, "PARK").value_or(false))
        return done(Result<Done>::failed({failureParked, named() + " is parked: no guide pulse sent"}));
    const bool westEast = direction == GuideDirection::West || direction == GuideDirection::East;
    const std::string& property = westEast ? pulseWestEast : pulseNorthSouth;
    const char* first = westEast ? "TIMED_GUIDE_W" : "TIMED_GUIDE_N";
    const char* second = westEast ? "TIMED_GUIDE_E" : "TIMED_GUIDE_S";
    if (!m_store.find(m_address.device, property))
        return done(Result<Done>::failed(missing(property, "pulse guide")));
    Axis& a = axis(property);
    // A second pulse on a running axis would restart it, not add to it.
    if (a.busy)
        return done(Result<Done>::failed(
            {failurePulseRunning, "A " + std::string(westEast ? "west/east" : "north/south") +
                                      " guide pulse is still running on " + named() +
                                      ": this pulse was not sent"}));
    const bool onFirst = direction == GuideDirection::West || direction == GuideDirection::North;
    const double ms = durationMs;
    m_send(newNumberCommand(m_address.device, property,
                            {{first, onFirst ? ms : 0.0}, {second, onFirst ? 0.0 : ms}}));
    a.busy = true;
    a.untilMs = nowMs + durationMs + answerLimitMs;
    wait({property, nowMs + answerLimitMs,
          [this](const Message& m, Failure& f) {
              if (m.kind != MessageKind::Set || !m.state)
                  return Verdict::Waiting;
              if (*m.state == PropertyState::Alert) {
                  f = alertOf(m, named(), "guide");
                  return Verdict::Failed;
              }
              return Verdict::Success;
          },
          [this]() -> std::optional<Failure> {
              return Failure{failureTimeout, named() + " did not take the guide pulse in time"};
          },
          [done](const Failure* f) {
              done(f ? Result<Done>::failed(*f) : Result<Done>::success({}));
          }});
}

} // namespace telescope::indi
