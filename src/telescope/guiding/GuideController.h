// The Timer1 tick as a plain step: from the latest reading, the clock and the output's state it decides what
// this tick does and returns it as data; GuideOutput carries the decision out on the driver. Used by the
// window's Timer1 handler and by the closed-loop benchmark.
#pragma once

#include "telescope/guiding/GuidePulse.h"
#include "telescope/guiding/PidLaw.h"

#include <chrono>
#include <optional>
#include <string>

namespace telescope {

// The most recent reading of the QEL unit.
struct LatestReading {
    double trackingError = 0.0;   // arcseconds, decoded from lastSampleText
    std::chrono::milliseconds at; // when it arrived, on the same steady clock as TickInputs::now
};

struct TickInputs {
    std::optional<LatestReading> reading; // none until the first reading since the program started
    std::chrono::milliseconds now{0};     // steady clock
    int intervalMs = 1000;                // Timer1's interval (1000, 500 or 200); must be > 0
    PidGains gains;
    GuideRates rates;
    bool driverPresent = false;      // myTelescope is set
    bool callsInFlight = false;      // the calls of an earlier tick have not all answered yet
    bool unparkQuestionOpen = false; // "Unpark Scope?" is waiting for the operator
};

enum class TickOutcome {
    NoReading,          // no reading since program start: nothing computed, nothing sent
    StaleReading,       // the latest reading is too old: nothing computed, nothing sent
    NoDriver,           // computed; no driver object, so nothing sent (and nothing said)
    CallsInFlight,      // computed; the previous tick's calls are still under way: a skipped tick
    UnparkQuestionOpen, // computed; no pulse while the operator has not answered
    GuideRateUnknown,   // computed; no guide rate, so no pulse length
    Send,               // check the mount, then send `ra` and `dec`
};

struct TickDecision {
    TickOutcome outcome = TickOutcome::NoReading;
    std::optional<double> correction; // u, arcseconds, when the controller ran
    GuidePulse ra;                    // meaningful for Send
    GuidePulse dec;                   // always the zero correction: a 0 ms south pulse
    std::string notice;               // words for the operator, only the first time a condition arises
};

class GuideController {
public:
    // The unit sends 5 or 8 readings a second; a reading older than this is not guided on.
    static constexpr std::chrono::milliseconds maxReadingAge{2000};

    TickDecision tick(const TickInputs& in);

    const PidState& state() const { return m_state; }
    // Ticks that sent nothing because the previous tick's calls were still under way, since program start.
    int skippedTicks() const { return m_skippedTicks; }

private:
    PidState m_state;
    int m_skippedTicks = 0;
    bool m_saidStale = false;
    bool m_saidRateUnknown = false;
};

} // namespace telescope
