// One simulated sky for the closed guiding loop: the mount's periodic error, moved by the guide pulses it is
// sent, as the QEL unit measures it. The simulated unit reads from it and the simulated mount pulses into it,
// so the readings answer the recorder's own corrections. Used by the closed-loop benchmark and the
// simulators.
#pragma once

#include "TrackingErrorSignal.h"
#include "telescope/Driver.h"

#include <cstdint>

namespace qelsim {

struct SkyModel {
    ErrorModel error;       // worm period, harmonic shape and reading noise; its drift is not used
    double peak = 4.0;      // arcsec: the periodic error is scaled to swing between -peak and +peak
    double guideRate = 0.5; // multiples of 15 "/s, until a connection sets the mount's rate
};

class SimulatedSky {
public:
    SimulatedSky(const SkyModel& model, std::uint32_t seed);

    // A pulse starting at `seconds` (never earlier than the last one): the mount moves in right ascension at
    // the guide rate (multiple of 15 "/s) for durationMs. East lowers the measured error, so a positive error
    // and the east pulse it asks for correct each other. A new pulse replaces what is left of the running
    // one, as a mount does; north and south move nothing the unit measures.
    void pulse(double seconds, telescope::GuideDirection direction, int durationMs);
    void setGuideRate(double multiple) { m_guideRate = multiple; }
    double guideRate() const { return m_guideRate; }

    // Where the mount points in right ascension against where it should, arcsec, at `seconds` (not earlier
    // than the last pulse's start): the periodic error less what the pulses have moved.
    double trackingError(double seconds) const;
    double periodicError(double seconds) const;
    // The unit's reading at `seconds`: the tracking error plus reading noise, as the byte it sends
    // (1/8 arcsecond steps, clipped to -16 ... +15.875).
    std::uint8_t readingCode(double seconds);

private:
    double guideOffset(double seconds) const;

    TrackingErrorSignal m_shape; // only its periodic part
    GaussianNoise m_noise;
    double m_scale = 1.0;
    double m_noiseSigma;
    double m_guideRate;
    // The guide offset, arcsec: m_offset up to m_pulseStart, then m_velocity until m_pulseEnd.
    double m_offset = 0.0;
    double m_pulseStart = 0.0;
    double m_pulseEnd = 0.0;
    double m_velocity = 0.0;
};

} // namespace qelsim
