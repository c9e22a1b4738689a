// The simulated sky: periodic error, guide offset and the unit's reading.
#include "SimulatedSky.h"

#include <algorithm>
#include <cmath>

namespace qelsim {

namespace {

ErrorModel withoutDrift(ErrorModel model) {
    model.driftSpread = 0.0;
    model.noise = 0.0;
    return model;
}

} // namespace

SimulatedSky::SimulatedSky(const SkyModel& model, std::uint32_t seed)
    : m_shape(withoutDrift(model.error), seed, 1.0)
    , m_noise(seed + 1)
    , m_noiseSigma(model.error.noise)
    , m_guideRate(model.guideRate) {
    // Scale the harmonic sum so that its largest swing over one worm turn is the model's peak.
    double largest = 0.0;
    for (int i = 0; i < 4800; ++i)
        largest = std::max(largest, std::fabs(m_shape.periodicError(model.error.wormPeriod * i / 4800.0)));
    if (largest > 0.0)
        m_scale = model.peak / largest;
}

double SimulatedSky::periodicError(double seconds) const {
    return m_scale * m_shape.periodicError(seconds);
}

double SimulatedSky::guideOffset(double seconds) const {
    if (seconds <= m_pulseStart)
        return m_offset;
    return m_offset + m_velocity * (std::min(seconds, m_pulseEnd) - m_pulseStart);
}

void SimulatedSky::pulse(double seconds, telescope::GuideDirection direction, int durationMs) {
    using telescope::GuideDirection;
    if (direction != GuideDirection::East && direction != GuideDirection::West)
        return;
    m_offset = guideOffset(seconds);
    m_pulseStart = seconds;
    m_pulseEnd = seconds + std::max(durationMs, 0) / 1000.0;
    const double speed = m_guideRate * 15.0; // arcsec per second
    m_velocity = direction == GuideDirection::East ? speed : -speed;
}

double SimulatedSky::trackingError(double seconds) const {
    return periodicError(seconds) - guideOffset(seconds);
}

std::uint8_t SimulatedSky::readingCode(double seconds) {
    return encodeReading(trackingError(seconds) + m_noiseSigma * m_noise.next());
}

} // namespace qelsim
