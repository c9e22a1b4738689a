// Which readings feed which output: the rate counters and the selection rules, run over whole sequences.
#include "acquisition/ReadingRoute.h"

#include <gtest/gtest.h>

#include <tuple>

#include <string>

namespace {

using namespace acquisition;

constexpr const char* kStandard = "2.4 ";
constexpr const char* kFiveHz = "2.5 (5 Hz nom.)";

AcquisitionOptions options(const char* version, bool check3Enabled, bool check3Checked,
                           bool outputsOn = true) {
    return {.versionText = version,
            .check1Checked = outputsOn,
            .check3Enabled = check3Enabled,
            .check3Checked = check3Checked,
            .check4Checked = outputsOn};
}

// One character per reading: 'x' when the output is fed ('s'/'f': charted at the slow/fast rate), '.' not.
struct Pattern {
    std::string live, record, chart, trim;
};

Pattern run(const AcquisitionOptions& o, int readings, RateCounters& counters) {
    Pattern p;
    for (int i = 0; i < readings; ++i) {
        counters.advance(isFiveHzMode(o));
        const ReadingRoute r = routeReading(o, counters);
        p.live += r.liveLine ? 'x' : '.';
        p.record += r.recordLine ? 'x' : '.';
        p.trim += r.trimCheck ? 'x' : '.';
        p.chart += r.chart == ChartRate::Slow ? 's' : (r.chart == ChartRate::Fast ? 'f' : '.');
    }
    return p;
}

const std::string E = "xxxxxxxxxxxxxxxxx"; // every one of 17 readings
const std::string N = ".................";
const std::string kEighth = "x.......x.......x"; // readings 1, 9, 17
const std::string kSlow = "s.......s.......s";
const std::string kFast = "fffffffffffffffff";

TEST(ReadingRoute, SelectionTableOverSeventeenReadings) {
    // Record rate follows Check3's value; the chart follows high-speed display (enabled and checked), which
    // outside 5 Hz mode charts nothing. The trimming check runs in 5 Hz mode only while live lines are on.
    const struct {
        const char* name;
        AcquisitionOptions o;
        std::string live, record, chart, trim;
        bool recordFirst;
    } cases[] = {
        {"standard", options(kStandard, false, false), E, E, kSlow, E, true},
        {"5 Hz, high-speed off", options(kFiveHz, true, false), E, kEighth, kSlow, E, false},
        {"5 Hz, high-speed on", options(kFiveHz, true, true), E, E, kFast, E, false},
        {"5 Hz, Check3 checked but disabled", options(kFiveHz, false, true), E, E, kSlow, E, false},
        {"standard, Check3 enabled and checked", options(kStandard, true, true), E, E, N, E, true},
        {"\"5 Hz\" at the first character is standard", options("5 Hz", true, false), E, E, kSlow, E, true},
        {"standard, outputs off", options(kStandard, true, false, false), N, N, kSlow, E, true},
        {"5 Hz, outputs off", options(kFiveHz, true, true, false), N, N, kFast, N, false},
    };
    for (const auto& c : cases) {
        RateCounters counters;
        const Pattern p = run(c.o, 17, counters);
        EXPECT_EQ(std::tie(p.live, p.record, p.chart, p.trim), std::tie(c.live, c.record, c.chart, c.trim))
            << c.name;
        EXPECT_EQ(routeReading(c.o, counters).recordFirst, c.recordFirst) << c.name;
    }
}

TEST(ReadingRoute, SwitchToFiveHzMidRunMakesEveryReadingAFastRateReading) {
    // A switch after two or more standard readings used to leave the counter past 2 for good: nothing was
    // charted or recorded in high-speed mode until the next Start.
    for (const int before : {1, 2, 3, 20}) {
        RateCounters counters;
        run(options(kStandard, false, false), before, counters);
        const Pattern on = run(options(kFiveHz, true, true), 5, counters);
        EXPECT_EQ(std::tie(on.chart, on.record, on.live), std::make_tuple("fffff", "xxxxx", "xxxxx"))
            << before << " standard readings first";
        EXPECT_EQ(counters.fastRateCounter, 1);
    }
}

TEST(RateCounters, FastRateCounterStaysBoundedOverALongStandardRun) {
    RateCounters counters;
    for (int i = 0; i < 70000; ++i)
        counters.advance(false);
    EXPECT_LE(counters.fastRateCounter, RateCounters::kFastRatePast);
    counters.advance(true);
    EXPECT_TRUE(counters.isFastRate());
}

} // namespace
