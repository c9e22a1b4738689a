// The guiding controller's law, kept exactly as the recorder has always computed it.
#include "telescope/guiding/PidLaw.h"

namespace telescope {

double pidStep(PidState& state, const PidGains& gains, double trackingError, double controlPeriod) {
    state.pidProportional = gains.kp * trackingError;
    state.pidIntegral = gains.ki * (state.pidIntegral + controlPeriod * state.pidProportional);
    state.pidDerivative = gains.kd * (state.pidProportional - state.pidPrevProportional) / controlPeriod;
    const double u = state.pidIntegral + state.pidProportional + state.pidDerivative;
    state.pidPrevProportional = state.pidProportional;
    return u;
}

} // namespace telescope
