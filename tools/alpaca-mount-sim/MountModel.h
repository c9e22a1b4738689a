// A simulated equatorial mount: position, park state, guide rates and pulse guiding, with time passed in.
// Plain C++, shared by the Alpaca mount simulator and anything that wants a mount moving on a clock (a later
// simulated sky can feed its motion to the QEL unit simulator).
#pragma once

#include "common/Sky.h"

#include <vector>

namespace mountsim {

// Alpaca error numbers the mount raises.
inline constexpr int errorInvalidValue = 0x401;
inline constexpr int errorNotConnected = 0x407;
inline constexpr int errorParked = 0x408;
inline constexpr int errorInvalidOperation = 0x40B;

// Guide-rate limits in degrees per second: 0.1 x 15"/s up to the sidereal rate.
inline constexpr double kMinGuideRate = 0.1 * common::kSiderealArcsecPerSecond / common::kArcsecPerDegree;
inline constexpr double kMaxGuideRate = 360.0 / 86164.0905;

class MountModel {
public:
    // Start position: RA in hours (0 <= ra < 24), Dec in degrees.
    MountModel(double raHours, double decDegrees);

    // All times are seconds on one steady clock chosen by the caller.
    double rightAscension(double now); // hours, wrapped into 0 ... 24
    double declination(double now);    // degrees, held within -90 ... +90
    bool isPulseGuiding(double now);

    bool connected = false;
    bool atPark = false;
    bool canSetGuideRates = true;

    double guideRateRa() const { return m_rateRa; } // degrees per second
    double guideRateDec() const { return m_rateDec; }
    // 0 or errorInvalidValue (the rate is then unchanged).
    int setGuideRateRa(double degreesPerSecond);
    int setGuideRateDec(double degreesPerSecond);

    // direction 0 north (+Dec), 1 south, 2 east (+RA), 3 west; durationMs 0 ... 30000. Returns 0, or
    // errorNotConnected, errorParked, errorInvalidValue, or errorInvalidOperation for a second pulse on an
    // axis whose pulse still runs.
    int pulseGuide(int direction, int durationMs, double now);

private:
    struct Pulse {
        bool raAxis;
        double degreesPerSecond; // signed
        double end;
    };
    void advance(double now);

    double m_ra;  // hours
    double m_dec; // degrees
    double m_rateRa = kMaxGuideRate;
    double m_rateDec = kMaxGuideRate;
    double m_last = 0;
    bool m_started = false;
    std::vector<Pulse> m_pulses;
};

} // namespace mountsim
