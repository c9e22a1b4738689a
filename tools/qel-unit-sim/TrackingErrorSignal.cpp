// Simulated tracking error and its encoding.
#include "TrackingErrorSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qelsim {

GaussianNoise::GaussianNoise(std::uint32_t seed)
    : m_engine(seed) {}

double GaussianNoise::next() {
    if (m_hasSpare) {
        m_hasSpare = false;
        return m_spare;
    }
    // Two uniforms in (0, 1), never 0 so the logarithm is finite.
    const double u1 = (static_cast<double>(m_engine()) + 0.5) / 4294967296.0;
    const double u2 = (static_cast<double>(m_engine()) + 0.5) / 4294967296.0;
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double angle = 2.0 * std::numbers::pi * u2;
    m_spare = radius * std::sin(angle);
    m_hasSpare = true;
    return radius * std::cos(angle);
}

TrackingErrorSignal::TrackingErrorSignal(const ErrorModel& model, std::uint32_t seed,
                                         double readingsPerSecond)
    : m_model(model)
    , m_noise(seed)
    , m_interval(1.0 / readingsPerSecond)
    , m_driftKeep(model.driftTime > 0.0 ? std::exp(-m_interval / model.driftTime) : 0.0)
    , m_drift(model.driftSpread * m_noise.next()) {}

double TrackingErrorSignal::periodicError(double seconds) const {
    const double turn = 2.0 * std::numbers::pi * seconds / m_model.wormPeriod;
    double error = 0.0;
    for (std::size_t h = 0; h < m_model.harmonics.size(); ++h)
        error += m_model.harmonics[h] * std::sin(static_cast<double>(h + 1) * turn + m_model.phases[h]);
    return error;
}

double TrackingErrorSignal::next() {
    const double seconds = static_cast<double>(m_index++) * m_interval;
    const double error =
        periodicError(seconds) + m_drift + m_model.driftRate * seconds + m_model.noise * m_noise.next();
    // The drift wanders as a first-order random process that keeps its spread.
    m_drift = m_driftKeep * m_drift +
              m_model.driftSpread * std::sqrt(1.0 - m_driftKeep * m_driftKeep) * m_noise.next();
    return error;
}

std::uint8_t TrackingErrorSignal::nextCode() {
    return encodeReading(next());
}

std::uint8_t encodeReading(double arcseconds) {
    if (std::isnan(arcseconds))
        return 127;
    const double eighths = std::clamp(std::round(arcseconds * 8.0), -128.0, 127.0);
    return static_cast<std::uint8_t>(127 - static_cast<int>(eighths));
}

} // namespace qelsim
