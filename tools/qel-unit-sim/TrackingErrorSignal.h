// The tracking error a simulated QEL unit reports: a worm gear's periodic error with its second and
// third harmonics, a slow drift and reading noise, quantised and encoded as the unit's one-byte code.
// Deterministic for a seed on every platform. Used by qel-unit-sim.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace qelsim {

// Shape of the drive's error; arcseconds and seconds.
struct ErrorModel {
    double wormPeriod = 480.0;                         // s, one turn of the worm
    std::array<double, 3> harmonics = {3.0, 0.7, 0.3}; // amplitude of the 1st, 2nd, 3rd harmonic, arcsec
    std::array<double, 3> phases = {0.0, 1.1, 2.3};    // rad
    double driftSpread = 1.0;                          // standard deviation of the slow drift, arcsec
    double driftTime = 900.0;                          // s, how long the drift takes to wander
    double noise = 0.3;                                // standard deviation of one reading's noise, arcsec
    double driftRate = 0.0;                            // arcsec/s, a steady ramp (polar misalignment)
};

// Standard normal numbers from a seed: mt19937 (fully specified) and a Box–Muller transform written
// here, because std::normal_distribution gives different numbers on different standard libraries.
class GaussianNoise {
public:
    explicit GaussianNoise(std::uint32_t seed);
    double next();

private:
    std::mt19937 m_engine;
    double m_spare = 0.0;
    bool m_hasSpare = false;
};

class TrackingErrorSignal {
public:
    TrackingErrorSignal(const ErrorModel& model, std::uint32_t seed, double readingsPerSecond);

    // The periodic part alone at `seconds` after the start, arcsec.
    double periodicError(double seconds) const;
    // Tracking error of the next reading, arcsec, before quantisation. Reading k is at k / rate seconds.
    double next();
    std::uint8_t nextCode();

private:
    ErrorModel m_model;
    GaussianNoise m_noise;
    double m_interval;
    double m_driftKeep; // share of the drift kept from one reading to the next
    double m_drift;
    std::uint64_t m_index = 0;
};

// The byte the QEL unit sends for a tracking error: rounded to the nearest 1/8 arcsecond, clipped to
// −16 … +15.875, c = 127 − 8 × TE (so TE = (127 − c) × 0.125).
std::uint8_t encodeReading(double arcseconds);

} // namespace qelsim
