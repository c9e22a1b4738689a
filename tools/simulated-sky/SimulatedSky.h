// One simulated sky for the closed guiding loop: the mount's periodic error, less how far the guide pulses
// the mount accepted have moved it, as the QEL unit measures it. The mount is the Alpaca simulator's
// MountModel, so the readings answer the recorder's own corrections. Used by guided-sky-sim and the
// closed-loop benchmark.
#pragma once

#include "MountModel.h"
#include "TrackingErrorSignal.h"

#include <cstdint>

namespace qelsim {

struct SkyModel {
    ErrorModel error;  // worm period, harmonic shape and reading noise; its drift is not used
    double peak = 4.0; // arcsec: the periodic error is scaled to swing between -peak and +peak
};

class SimulatedSky {
public:
    // `mount` is not owned and must outlive the sky; seconds are on the mount's clock, never going back.
    SimulatedSky(const SkyModel& model, std::uint32_t seed, mountsim::MountModel& mount, double seconds);

    double periodicError(double seconds) const;
    // How far the pulses have moved the mount in right ascension since the sky was made, arcsec, east
    // positive. East lowers the measured error, so a positive error and the east pulse it asks for cancel.
    double guideOffset(double seconds);
    // Where the mount points in right ascension against where it should, arcsec: periodic error less offset.
    double trackingError(double seconds);
    // The unit's reading: the tracking error plus reading noise, as the byte it sends (1/8 arcsecond steps,
    // clipped to -16 ... +15.875).
    std::uint8_t readingCode(double seconds);

private:
    TrackingErrorSignal m_shape; // only its periodic part
    GaussianNoise m_noise;
    mountsim::MountModel& m_mount;
    double m_scale = 1.0;
    double m_noiseSigma;
    double m_startRa; // hours
};

} // namespace qelsim
