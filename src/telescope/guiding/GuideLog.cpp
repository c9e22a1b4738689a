// The guide log's fields.
#include "telescope/guiding/GuideLog.h"

#include <cstdio>

namespace telescope {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

} // namespace

std::string guideLogFields(const TickDecision& decision, const std::optional<LatestReading>& reading,
                           const GuideRates& rates) {
    const bool ran = decision.correction.has_value();
    const bool pulse = decision.outcome == TickOutcome::Send;
    std::string line = "TE " + (ran && reading ? number(reading->trackingError) : std::string("-"));
    line += " U " + (ran ? number(*decision.correction) : std::string("-"));
    line += " RA ";
    line += pulse ? (decision.ra.direction == GuideDirection::East ? "E " : "W ") : "- ";
    line += std::to_string(pulse ? decision.ra.durationMs : 0);
    line += " RATE " + (rates.ra > 0 ? number(rates.ra) : std::string("-")) + " ";
    return line;
}

std::string skippedOutcome(TickOutcome outcome) {
    switch (outcome) {
    case TickOutcome::NoReading:
        return "skipped no-reading";
    case TickOutcome::StaleReading:
        return "skipped stale-reading";
    case TickOutcome::NoDriver:
        return "skipped no-mount";
    case TickOutcome::CallsInFlight:
        return "skipped busy";
    case TickOutcome::UnparkQuestionOpen:
        return "skipped unpark-question";
    case TickOutcome::GuideRateUnknown:
        return "skipped rate-unknown";
    case TickOutcome::Send:
        break;
    }
    return "sent";
}

std::string fateOutcome(const PulseFate& fate) {
    switch (fate.kind) {
    case PulseFate::Sent:
        return "sent";
    case PulseFate::NotConnected:
        return "skipped not-connected";
    case PulseFate::Parked:
        return "skipped parked";
    case PulseFate::Cancelled:
        return "skipped cancelled";
    case PulseFate::Refused:
        break;
    }
    switch (fate.failure.number) {
    case failureTimeout:
        return "refused timeout";
    case failureUnreachable:
        return "refused unreachable";
    case failureMalformed:
        return "refused malformed";
    case failureRefused:
        return "refused alert";
    default:
        break;
    }
    char text[32];
    if (fate.failure.number >= 0x400)
        std::snprintf(text, sizeof text, "refused 0x%X", static_cast<unsigned>(fate.failure.number));
    else
        std::snprintf(text, sizeof text, "refused %d", fate.failure.number);
    return text;
}

} // namespace telescope
