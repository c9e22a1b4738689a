// The Timer1 tick's decision: which readings are guided on, the controller step, and when nothing is sent.
#include "telescope/guiding/GuideController.h"

namespace telescope {

TickDecision GuideController::tick(const TickInputs& in) {
    TickDecision d;
    if (!in.reading) {
        // Decoding the empty lastSampleText would give +15.875" and full-scale pulses on a reading that does
        // not exist; the controller's memory is not touched either.
        d.outcome = TickOutcome::NoReading;
        return d;
    }
    if (in.now - in.reading->at > maxReadingAge) {
        d.outcome = TickOutcome::StaleReading;
        if (!m_saidStale)
            d.notice =
                "Guiding paused: no reading from the QEL unit for over 2 seconds, so no guide pulse is "
                "sent. Check the unit and its serial link; guiding resumes with the next reading.";
        m_saidStale = true;
        return d;
    }
    m_saidStale = false;

    const double controlPeriod = in.intervalMs / 1000.0;
    const double u = pidStep(m_state, in.gains, in.reading->trackingError, controlPeriod);
    d.correction = u;

    if (!in.driverPresent) {
        d.outcome = TickOutcome::NoDriver;
        return d;
    }
    if (in.callsInFlight) {
        ++m_skippedTicks;
        d.outcome = TickOutcome::CallsInFlight;
        return d;
    }
    if (in.unparkQuestionOpen) {
        d.outcome = TickOutcome::UnparkQuestionOpen;
        return d;
    }
    const double tickRate = 1.0 / controlPeriod;
    const auto ra = guidePulseFor(u, tickRate, GuideAxis::Ra, in.rates);
    const auto dec = guidePulseFor(0.0, tickRate, GuideAxis::Dec, in.rates);
    if (!ra || !dec) {
        d.outcome = TickOutcome::GuideRateUnknown;
        if (!m_saidRateUnknown)
            d.notice =
                "Guide rate unknown: no guide pulse is sent. Connect to a mount that can set guide rates, "
                "with a Guide Rate chosen, to guide.";
        m_saidRateUnknown = true;
        return d;
    }
    m_saidRateUnknown = false;
    d.outcome = TickOutcome::Send;
    d.ra = *ra;
    d.dec = *dec;
    return d;
}

} // namespace telescope
