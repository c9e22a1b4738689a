// The pulse-guide output: carries one tick's pulses to the mount through telescope::Driver, asynchronously,
// with the checks of SendGuidePulse (driver present, Connected, AtPark) and the unpark question. Plain C++;
// the window supplies the question box and shows the errors. Used by the window's Timer1 handler.
#pragma once

#include "telescope/Driver.h"
#include "telescope/guiding/GuideController.h"
#include "telescope/guiding/GuidePulse.h"

#include <functional>
#include <memory>
#include <string>

namespace telescope {

// What became of one tick's RA pulse.
struct PulseFate {
    enum Kind {
        Sent,         // the mount took the RA pulse
        Refused,      // a call of the chain failed before the RA pulse was taken: failure says how
        NotConnected, // the mount said it is not connected
        Parked,       // the mount is parked: the unpark question instead
        Cancelled,    // guiding was switched off or the driver changed before the answers came
    };
    Kind kind = Sent;
    Failure failure;
};

class GuideOutput {
public:
    using FateKnown = std::function<void(const PulseFate& fate)>;

    // Shows "Unpark Scope?" (Yes/No, titled "QEL TE Recorder") without waiting for it, and calls answer once
    // with true for Yes, false for No, when the operator has answered.
    using UnparkQuestion = std::function<void(std::function<void(bool yes)> answer)>;
    // Called with the words of each failure, as it happens; latestError() keeps the last one.
    using ErrorSink = std::function<void(const std::string& message)>;

    GuideOutput(UnparkQuestion ask, ErrorSink error);
    GuideOutput(const GuideOutput&) = delete;
    GuideOutput& operator=(const GuideOutput&) = delete;

    // The driver the pulses go to (myTelescope), or nullptr. Not owned; it must stay alive until it is
    // replaced here. Answers still pending from the previous driver are ignored, so the next tick is not held
    // back.
    void setDriver(Driver* driver);
    Driver* driver() const { return m_driver; }
    // Guiding is switched off: the answers of calls under way are dropped, so nothing more is sent for the
    // tick in progress. The driver stays.
    void cancel();

    // Connected, then AtPark, then the RA pulse, then the Dec pulse, each call once the one before has
    // answered. Not connected or a failure: the rest is not sent and the words go to the error sink. Parked:
    // the unpark question is asked unless one is already open, and nothing is sent. Does nothing without a
    // driver. fate (optional) runs once, when the RA pulse's fate is known (also when cancelled).
    void send(const GuidePulse& ra, const GuidePulse& dec, FateKnown fate = {});

    bool callsInFlight() const { return m_inFlight; }
    bool unparkQuestionOpen() const { return m_questionOpen; }
    const std::string& latestError() const { return m_latestError; }
    // Ticks whose RA and Dec pulses the mount has taken, since this output was made.
    int ticksSent() const { return m_ticksSent; }

private:
    template <typename T>
    Callback<T> answer(std::function<void(const T&)> next, const char* what);
    void fail(const std::string& message);
    void askUnpark();
    void settle(PulseFate::Kind kind, const Failure& failure = {});

    UnparkQuestion m_ask;
    ErrorSink m_error;
    Driver* m_driver = nullptr;
    unsigned m_generation = 0; // advanced with every driver change; answers of an older one are dropped
    bool m_inFlight = false;
    bool m_questionOpen = false;
    int m_ticksSent = 0;
    std::string m_latestError;
    FateKnown m_fate;                     // the tick under way's, until its RA pulse's fate is known
    std::shared_ptr<GuideOutput*> m_self; // lets callbacks that outlive this object notice it is gone
};

// One Timer1 tick: completes `in` with the output's state, decides, and sends when the decision is Send (fate
// then runs once the RA pulse's fate is known; it does not run for the other outcomes).
TickDecision guideTick(GuideController& controller, GuideOutput& output, TickInputs in,
                       GuideOutput::FateKnown fate = {});

} // namespace telescope
