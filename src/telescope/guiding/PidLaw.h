// The guiding controller's law: one step per Timer1 tick turns the latest tracking error into a
// right-ascension correction. Used by GuideController; the benchmarks run it on the simulated sky.
#pragma once

namespace telescope {

// Kp, Ki, Kd as read from List5, List6 and List7.
struct PidGains {
    double kp = 0.0;
    double ki = 0.0;
    double kd = 0.0;
};

// The controller's memory, arcseconds. All 0 at program start and never reset: it survives Stop and Start,
// switching guiding off and on, and disconnection.
struct PidState {
    double pidProportional = 0.0;     // P term of the last tick
    double pidIntegral = 0.0;         // I term
    double pidDerivative = 0.0;       // D term of the last tick
    double pidPrevProportional = 0.0; // P term of the tick before
};

// One tick: trackingError in arcseconds, controlPeriod in seconds (> 0). Returns the correction u in
// arcseconds; positive u means an east pulse.
//   P = Kp * TE
//   I = Ki * (I + period * P)       the integral sums the P term and is scaled by Ki at every tick
//   D = Kd * (P - P_prev) / period  the derivative is taken of the P term
//   u = I + P + D
// No term is limited; only the pulse length is.
double pidStep(PidState& state, const PidGains& gains, double trackingError, double controlPeriod);

} // namespace telescope
