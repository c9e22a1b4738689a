// IndiMount's members of telescope::Driver: what each one sends and what answer completes it (see
// IndiMount.h).
#include "telescope/indi/IndiMount.h"

#include "telescope/indi/IndiCommands.h"
#include "telescope/indi/IndiMountShared.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace telescope::indi {

using namespace mount;

namespace {

bool settledAs(const Message& m, PropertyState a, PropertyState b) {
    return m.state == a || m.state == b;
}

} // namespace

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
        return awaitCoordinates(nowMs); // another client's connection: left as it is when we go
    m_connectedByUs = true;
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

bool IndiMount::disconnect() {
    if (!m_linkUp || !std::exchange(m_connectedByUs, false))
        return false;
    m_send(newSwitchOnCommand(m_address.device, connection, "DISCONNECT"));
    return true;
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
