// SendGuidePulse's arithmetic: directions, lengths in whole milliseconds, the 16-bit limit and an unknown
// rate.
#include "telescope/guiding/GuidePulse.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace telescope;

TEST(GuidePulse, DocumentedTable) {
    const struct {
        double correction, rate, tickRate;
        GuideAxis axis;
        GuideDirection direction;
        int ms;
    } rows[] = {
        {1.0, 0.5, 1, GuideAxis::Ra, GuideDirection::East, 133},
        {-1.0, 0.5, 1, GuideAxis::Ra, GuideDirection::West, 133},
        {2.0, 0.2, 5, GuideAxis::Ra, GuideDirection::East, 133},
        {0.0, 0.5, 1, GuideAxis::Dec, GuideDirection::South, 0},
        {98.3, 0.2, 1, GuideAxis::Ra, GuideDirection::East, 32766},
        // Zero is on the negative side on both axes; a positive Dec correction is north.
        {0.0, 0.5, 1, GuideAxis::Ra, GuideDirection::West, 0},
        {1.0, 0.5, 1, GuideAxis::Dec, GuideDirection::North, 133},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.correction << " at rate " << r.rate << ", " << r.tickRate << " Hz");
        const auto p = guidePulseFor(r.correction, r.tickRate, r.axis, GuideRates{r.rate, r.rate});
        ASSERT_TRUE(p);
        EXPECT_EQ(p->direction, r.direction);
        EXPECT_EQ(p->durationMs, r.ms);
    }
}

TEST(GuidePulse, EachAxisUsesItsOwnRate) {
    const GuideRates rates{0.5, 1.0};
    EXPECT_EQ(guidePulseFor(1.0, 1, GuideAxis::Ra, rates)->durationMs, 133);
    EXPECT_EQ(guidePulseFor(1.0, 1, GuideAxis::Dec, rates)->durationMs, 66);
}

TEST(GuidePulse, LongerThanSixteenBitsIsClampedTo32767) {
    EXPECT_EQ(pulseLengthMs(98.31, 0.2, 1), 32767); // 32770 ms
    EXPECT_EQ(pulseLengthMs(100.0, 0.2, 1), 32767); // 33333 ms
    EXPECT_EQ(pulseLengthMs(-1e12, 0.2, 1), 32767); // past the int range: no overflow on the way
}

TEST(GuidePulse, NoLengthWithoutAGuideRateOrANumber) {
    EXPECT_FALSE(pulseLengthMs(1.0, 0.0, 1));
    EXPECT_FALSE(pulseLengthMs(1.0, -0.5, 1));
    EXPECT_FALSE(pulseLengthMs(std::numeric_limits<double>::quiet_NaN(), 0.5, 1));
    EXPECT_FALSE(guidePulseFor(1.0, 1, GuideAxis::Ra, GuideRates{}));
}

} // namespace
