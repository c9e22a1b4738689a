// IndiMount's side of the link: messages in, time limits, pulse guards (see IndiMount.h).
#include "telescope/indi/IndiMount.h"

#include "telescope/indi/IndiCommands.h"
#include "telescope/indi/IndiMountShared.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace telescope::indi {

using namespace mount;

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
    m_connectedByUs = false;
    m_store.clear();
    m_awaitingCoordinates = false;
    m_westEast = {};
    m_northSouth = {};
    m_send(getPropertiesCommand(m_address.device));
}

void IndiMount::linkLost(const std::string& why) {
    m_linkUp = false;
    m_connectedByUs = false;
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
        // Drivers tag their lines; progress reports ([INFO], [DEBUG]) are no news for the operator.
        const bool chatter = m.text.rfind("[INFO]", 0) == 0 || m.text.rfind("[DEBUG]", 0) == 0;
        if (!m.text.empty() && !chatter)
            m_notice(m_address.device + ": " + m.text);
        return;
    }
    const bool wasConnected = deviceConnected();
    m_store.apply(m);
    // Only a device that connects now defines its coordinates with placeholders; one found connected already
    // defines them with real values.
    if (m.kind == MessageKind::Set && m.name == connection && !wasConnected && deviceConnected())
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

} // namespace telescope::indi
