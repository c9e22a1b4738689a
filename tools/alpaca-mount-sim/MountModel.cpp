// The simulated mount's motion.
#include "MountModel.h"

#include <algorithm>
#include <cmath>

namespace mountsim {

MountModel::MountModel(double raHours, double decDegrees)
    : m_ra(raHours)
    , m_dec(decDegrees) {}

void MountModel::advance(double now) {
    if (!m_started) {
        m_started = true;
        m_last = now;
    }
    if (now <= m_last)
        return;
    for (const Pulse& p : m_pulses) {
        const double seconds = std::min(now, p.end) - m_last;
        if (seconds <= 0)
            continue;
        if (p.raAxis)
            m_ra += p.degreesPerSecond * seconds / common::kDegreesPerHourOfRa;
        else
            m_dec = std::clamp(m_dec + p.degreesPerSecond * seconds, -90.0, 90.0);
    }
    m_ra = std::fmod(m_ra, 24.0);
    if (m_ra < 0)
        m_ra += 24.0;
    std::erase_if(m_pulses, [now](const Pulse& p) { return p.end <= now; });
    m_last = now;
}

double MountModel::rightAscension(double now) {
    advance(now);
    return m_ra;
}

double MountModel::declination(double now) {
    advance(now);
    return m_dec;
}

bool MountModel::isPulseGuiding(double now) {
    advance(now);
    return !m_pulses.empty();
}

int MountModel::setGuideRateRa(double v) {
    if (!(v >= kMinGuideRate * 0.999 && v <= kMaxGuideRate * 1.001))
        return errorInvalidValue;
    m_rateRa = v;
    return 0;
}

int MountModel::setGuideRateDec(double v) {
    if (!(v >= kMinGuideRate * 0.999 && v <= kMaxGuideRate * 1.001))
        return errorInvalidValue;
    m_rateDec = v;
    return 0;
}

int MountModel::pulseGuide(int direction, int durationMs, double now) {
    if (!connected)
        return errorNotConnected;
    if (atPark)
        return errorParked;
    if (direction < 0 || direction > 3 || durationMs < 0 || durationMs > 30000)
        return errorInvalidValue;
    advance(now);
    const bool raAxis = direction >= 2;
    if (std::any_of(m_pulses.begin(), m_pulses.end(),
                    [raAxis](const Pulse& p) { return p.raAxis == raAxis; }))
        return errorInvalidOperation;
    const double sign = (direction == 0 || direction == 2) ? 1.0 : -1.0;
    if (durationMs > 0)
        m_pulses.push_back({raAxis, sign * (raAxis ? m_rateRa : m_rateDec), now + durationMs / 1000.0});
    return 0;
}

} // namespace mountsim
