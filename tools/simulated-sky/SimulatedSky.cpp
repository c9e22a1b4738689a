// The simulated sky: periodic error, the mount's guide offset and the unit's reading.
#include "SimulatedSky.h"

#include "common/Sky.h"

#include <algorithm>
#include <cmath>

namespace qelsim {

namespace {

ErrorModel shapeOnly(ErrorModel model) {
    model.driftSpread = 0.0;
    model.noise = 0.0;
    return model;
}

} // namespace

SimulatedSky::SimulatedSky(const SkyModel& model, std::uint32_t seed, mountsim::MountModel& mount,
                           double seconds)
    : m_shape(shapeOnly(model.error), seed, 1.0)
    , m_noise(seed + 1)
    , m_mount(mount)
    , m_noiseSigma(model.error.noise)
    , m_startRa(mount.rightAscension(seconds)) {
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

double SimulatedSky::guideOffset(double seconds) {
    // The mount wraps RA into 0 ... 24 h; the offset is small, so take the nearest turn.
    double hours = m_mount.rightAscension(seconds) - m_startRa;
    hours -= 24.0 * std::round(hours / 24.0);
    return hours * common::kDegreesPerHourOfRa * common::kArcsecPerDegree;
}

double SimulatedSky::trackingError(double seconds) {
    return periodicError(seconds) - guideOffset(seconds);
}

std::uint8_t SimulatedSky::readingCode(double seconds) {
    return encodeReading(trackingError(seconds) + m_noiseSigma * m_noise.next());
}

} // namespace qelsim
