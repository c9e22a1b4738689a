// The guiding controller's law on the recorder's documented examples, tick after tick.
#include "telescope/guiding/PidLaw.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using telescope::PidGains;
using telescope::PidState;
using telescope::pidStep;

TEST(PidLaw, DocumentedExamplesTickAfterTick) {
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

TEST(PidLaw, StateCarriesOverToTheNextRun) {
    // The first tick after switching back on takes its derivative against the last P of the earlier run and
    // continues its integral: nothing resets the state.
    PidState s;
    const PidGains gains{1.0, 1.0, 1.0};
    pidStep(s, gains, 2.0, 1.0); // P 2, I 2, D 2
    const double u = pidStep(s, gains, 2.0, 1.0);
    EXPECT_DOUBLE_EQ(s.pidDerivative, 0.0);
    EXPECT_DOUBLE_EQ(s.pidIntegral, 4.0);
    EXPECT_DOUBLE_EQ(u, 6.0);
}

} // namespace
