// SendGuidePulse's arithmetic: directions, lengths in whole milliseconds, the 16-bit limit and an unknown
// rate.
#include "telescope/guiding/GuidePulse.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace telescope;

TEST(GuidePulse, DocumentedTable) {
    const struct {
        double correction, raRate, decRate, tickRate;
        GuideAxis axis;
        GuideDirection direction;
        int ms;
    } rows[] = {
        {1.0, 0.5, 0.5, 1, GuideAxis::Ra, GuideDirection::East, 133},
        {-1.0, 0.5, 0.5, 1, GuideAxis::Ra, GuideDirection::West, 133},
        {2.0, 0.2, 0.2, 5, GuideAxis::Ra, GuideDirection::East, 133},
        {0.0, 0.5, 0.5, 1, GuideAxis::Dec, GuideDirection::South, 0},
        {98.3, 0.2, 0.2, 1, GuideAxis::Ra, GuideDirection::East, 32766},
        // Zero is on the negative side on both axes; a positive Dec correction is north.
        {0.0, 0.5, 0.5, 1, GuideAxis::Ra, GuideDirection::West, 0},
        {1.0, 0.5, 0.5, 1, GuideAxis::Dec, GuideDirection::North, 133},
        // Each axis uses its own rate.
        {1.0, 0.5, 1.0, 1, GuideAxis::Ra, GuideDirection::East, 133},
        {1.0, 0.5, 1.0, 1, GuideAxis::Dec, GuideDirection::North, 66},
        // Longer than 16 bits is clamped to 32767, also past the int range (no overflow on the way).
        {98.31, 0.2, 0.2, 1, GuideAxis::Ra, GuideDirection::East, 32767}, // 32770 ms
        {-1e12, 0.2, 0.2, 1, GuideAxis::Ra, GuideDirection::West, 32767},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.correction << " at rates " << r.raRate << "/" << r.decRate
                                        << ", " << r.tickRate << " Hz");
        const auto p = guidePulseFor(r.correction, r.tickRate, r.axis, GuideRates{r.raRate, r.decRate});
        ASSERT_TRUE(p);
        EXPECT_EQ(p->direction, r.direction);
        EXPECT_EQ(p->durationMs, r.ms);
    }
}

TEST(GuidePulse, NoLengthWithoutAGuideRateOrANumber) {
    EXPECT_FALSE(pulseLengthMs(1.0, 0.0, 1));
    EXPECT_FALSE(pulseLengthMs(1.0, -0.5, 1));
    EXPECT_FALSE(pulseLengthMs(std::numeric_limits<double>::quiet_NaN(), 0.5, 1));
    EXPECT_FALSE(guidePulseFor(1.0, 1, GuideAxis::Ra, GuideRates{}));
}

} // namespace
