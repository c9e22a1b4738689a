// The guiding controller's law tick after tick: P alone, the running sum (Ki 1), the decaying integral
// (Ki 0.5) and the derivative of a step.
#include "telescope/guiding/PidLaw.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using telescope::PidGains;
using telescope::PidState;
using telescope::pidStep;

TEST(PidLaw, TickAfterTick) {
    const struct {
        const char* name;
        PidGains gains;
        double period;                   // s
        std::vector<double> errors;      // arcsec, one per tick
        std::vector<double> corrections; // u expected at each tick
        std::vector<double> integrals;   // I expected at each tick (empty: not checked)
    } cases[] = {
        // Code 115 decodes to 1.5".
        {"P only", {1.0, 0.0, 0.0}, 1.0, {1.5, 1.5, 1.5}, {1.5, 1.5, 1.5}, {0, 0, 0}},
        // Ki = 1: a plain running sum of P * period on top of P.
        {"Ki = 1 sums", {0.5, 1.0, 0.0}, 1.0, {2, 2, 2, 2}, {2, 3, 4, 5}, {1, 2, 3, 4}},
        // Ki = 0.5: the integral decays towards Ki * P * period / (1 - Ki) = 1.
        {"Ki = 0.5 decays",
         {0.5, 0.5, 0.0},
         1.0,
         {2, 2, 2, 2},
         {1.5, 1.75, 1.875, 1.9375},
         {0.5, 0.75, 0.875, 0.9375}},
        // At 2 Hz the step from 0 to 1 gives D = Kd * (1 - 0) / 0.5 = 2.
        {"derivative of P at 2 Hz", {1.0, 0.0, 1.0}, 0.5, {0, 1}, {0, 3}, {}},
        // Nothing resets the state between ticks, nor when guiding is switched off and on: the second tick's
        // derivative is taken against the first's P and its integral goes on from the first's.
        {"state carries over", {1.0, 1.0, 1.0}, 1.0, {2, 2}, {6, 6}, {2, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PidState s;
        for (std::size_t i = 0; i < c.errors.size(); ++i) {
            EXPECT_DOUBLE_EQ(pidStep(s, c.gains, c.errors[i], c.period), c.corrections[i]) << "tick " << i;
            if (!c.integrals.empty()) {
                EXPECT_DOUBLE_EQ(s.pidIntegral, c.integrals[i]) << "tick " << i;
            }
        }
    }
}

} // namespace
