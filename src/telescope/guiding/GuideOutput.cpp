// The asynchronous call chain of a guide pulse and the unpark question.
#include "telescope/guiding/GuideOutput.h"

#include <utility>

namespace telescope {

GuideOutput::GuideOutput(UnparkQuestion ask, ErrorSink error)
    : m_ask(std::move(ask))
    , m_error(std::move(error))
    , m_self(std::make_shared<GuideOutput*>(this)) {}

void GuideOutput::setDriver(Driver* driver) {
    m_driver = driver;
    cancel();
}

void GuideOutput::cancel() {
    ++m_generation;
    m_inFlight = false;
    settle(PulseFate::Cancelled);
}

void GuideOutput::settle(PulseFate::Kind kind, const Failure& failure) {
    if (auto fate = std::exchange(m_fate, nullptr))
        fate(PulseFate{kind, failure});
}

template <typename T>
Callback<T> GuideOutput::answer(std::function<void(const T&)> next, const char* what) {
    return [self = std::weak_ptr<GuideOutput*>(m_self), generation = m_generation, next = std::move(next),
            what](const Result<T>& result) {
        const auto alive = self.lock();
        if (!alive || (*alive)->m_generation != generation)
            return;
        GuideOutput& out = **alive;
        if (!result.ok()) {
            out.m_inFlight = false;
            out.settle(PulseFate::Refused, result.failure);
            out.fail(std::string("Guiding: ") + what + " failed on " + out.m_driver->id() + ": " +
                     describeFailure(result.failure) + ". Guiding goes on at the next tick.");
            return;
        }
        next(*result.value);
    };
}

void GuideOutput::fail(const std::string& message) {
    m_latestError = message;
    if (m_error)
        m_error(message);
}

void GuideOutput::send(const GuidePulse& ra, const GuidePulse& dec, FateKnown fate) {
    if (!m_driver || m_inFlight)
        return;
    m_inFlight = true;
    m_fate = std::move(fate);
    m_driver->connected(answer<bool>(
        [this, ra, dec](bool connected) {
            if (!connected) {
                m_inFlight = false;
                settle(PulseFate::NotConnected);
                fail("Guiding: no guide pulse sent, " + m_driver->id() +
                     " reports the mount not connected. Check the mount, then clear and check \"Connect to "
                     "ASCOM Driver\".");
                return;
            }
            m_driver->atPark(answer<bool>(
                [this, ra, dec](bool parked) {
                    if (parked) {
                        m_inFlight = false;
                        settle(PulseFate::Parked);
                        askUnpark();
                        return;
                    }
                    m_driver->pulseGuide(ra.direction, ra.durationMs,
                                         answer<Done>(
                                             [this, dec](const Done&) {
                                                 settle(PulseFate::Sent);
                                                 m_driver->pulseGuide(dec.direction, dec.durationMs,
                                                                      answer<Done>(
                                                                          [this](const Done&) {
                                                                              m_inFlight = false;
                                                                              ++m_ticksSent;
                                                                          },
                                                                          "PulseGuide (Dec)"));
                                             },
                                             "PulseGuide (RA)"));
                },
                "reading AtPark"));
        },
        "reading Connected"));
}

void GuideOutput::askUnpark() {
    if (m_questionOpen || !m_ask)
        return;
    m_questionOpen = true;
    m_ask([self = std::weak_ptr<GuideOutput*>(m_self), generation = m_generation](bool yes) {
        const auto alive = self.lock();
        if (!alive)
            return;
        GuideOutput& out = **alive;
        out.m_questionOpen = false;
        // A Yes given after the driver changed is not for the mount now connected.
        if (!yes || !out.m_driver || out.m_generation != generation)
            return;
        out.m_inFlight = true;
        out.m_driver->unpark(out.answer<Done>([&out](const Done&) { out.m_inFlight = false; }, "Unpark"));
    });
}

TickDecision guideTick(GuideController& controller, GuideOutput& output, TickInputs in,
                       GuideOutput::FateKnown fate) {
    in.driverPresent = output.driver() != nullptr;
    in.callsInFlight = output.callsInFlight();
    in.unparkQuestionOpen = output.unparkQuestionOpen();
    TickDecision decision = controller.tick(in);
    if (decision.outcome == TickOutcome::Send)
        output.send(decision.ra, decision.dec, std::move(fate));
    return decision;
}

} // namespace telescope
