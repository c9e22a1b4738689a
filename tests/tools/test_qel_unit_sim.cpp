// The simulated QEL unit's signal, record-file replay and command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

#include "ReplayCodes.h"
#include "SimOptions.h"
#include "TrackingErrorSignal.h"

using namespace qelsim;

namespace {

double decode(std::uint8_t code) {
    return (127 - code) * 0.125;
}

std::vector<std::uint8_t> codes(const ErrorModel& model, std::uint32_t seed, double rate, std::size_t n) {
    TrackingErrorSignal signal(model, seed, rate);
    std::vector<std::uint8_t> out(n);
    for (auto& c : out)
        c = signal.nextCode();
    return out;
}

ErrorModel periodicOnly() {
    ErrorModel model;
    model.driftSpread = 0.0;
    model.noise = 0.0;
    return model;
}

} // namespace

TEST(QelUnitSim, EncodingQuantisesAndClips) {
    const struct {
        double arcseconds;
        int code;
    } cases[] = {
        {0.0, 127},    {0.125, 126},
        {-0.125, 128}, {15.875, 0},
        {-16.0, 255},  {0.06, 127},
        {0.07, 126},   {-0.07, 128},
        {7.875, 64},   {16.0, 0},
        {-16.1, 255},  {1e9, 0},
        {-1e9, 255},   {std::numeric_limits<double>::quiet_NaN(), 127},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeReading(c.arcseconds), c.code) << c.arcseconds;
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(encodeReading(decode(static_cast<std::uint8_t>(code))), code);
}

TEST(QelUnitSim, SameSeedSameReadings) {
    const ErrorModel model;
    const auto first = codes(model, 42, 8.0, 5000);
    EXPECT_EQ(first, codes(model, 42, 8.0, 5000));
    EXPECT_NE(first, codes(model, 43, 8.0, 5000));
}

TEST(QelUnitSim, PeriodicErrorRepeatsEveryWormTurn) {
    const ErrorModel model = periodicOnly();
    const TrackingErrorSignal signal(model, 1, 8.0);
    double peak = 0.0;
    for (double t = 0.0; t < model.wormPeriod; t += 0.5) {
        EXPECT_NEAR(signal.periodicError(t), signal.periodicError(t + model.wormPeriod), 1e-9) << t;
        peak = std::max(peak, std::abs(signal.periodicError(t)));
    }
    EXPECT_GT(peak, 3.0);
    EXPECT_LE(peak, 4.0);

    // At 8 readings a second, reading k and reading k + 3840 are one turn apart.
    const auto turnAndAHalf = codes(model, 1, 8.0, 3840 + 1920);
    EXPECT_TRUE(std::equal(turnAndAHalf.begin(), turnAndAHalf.begin() + 1920, turnAndAHalf.begin() + 3840));
    // The same turn at 5 readings a second lasts 2400 readings.
    const auto atFive = codes(model, 1, 5.0, 2400 + 100);
    EXPECT_TRUE(std::equal(atFive.begin(), atFive.begin() + 100, atFive.begin() + 2400));
}

TEST(QelUnitSim, NoiseHasTheModelsSpread) {
    ErrorModel model;
    model.harmonics = {0.0, 0.0, 0.0};
    model.driftSpread = 0.0;
    TrackingErrorSignal signal(model, 7, 8.0);
    const int n = 40000;
    double sum = 0.0;
    double squares = 0.0;
    for (int i = 0; i < n; ++i) {
        const double te = signal.next();
        sum += te;
        squares += te * te;
    }
    const double mean = sum / n;
    EXPECT_NEAR(mean, 0.0, 0.01);
    EXPECT_NEAR(std::sqrt(squares / n - mean * mean), model.noise, 0.01);
}

TEST(QelUnitSim, DefaultUnitStaysWellInsideTheRange) {
    // An hour at the standard rate: a realistic swing that the recorder never sees clipped.
    const auto hour = codes(ErrorModel{}, 1, 8.0, 8 * 3600);
    std::vector<double> te(hour.size());
    std::transform(hour.begin(), hour.end(), te.begin(), decode);
    const auto [low, high] = std::minmax_element(te.begin(), te.end());
    EXPECT_GT(*low, -10.0);
    EXPECT_LT(*high, 10.0);
    EXPECT_LT(*low, -3.0);
    EXPECT_GT(*high, 3.0);
}

TEST(QelUnitSim, RecordLineCode) {
    const struct {
        const char* line;
        int code; // -1: not a record line
    } cases[] = {
        {"7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 None None", 126},
        {"A:10: 2013-Jan-05 21:14:07.42  TE:   14.625 None None\r", 10},
        {"FF:255: 2013-Jan-05 21:14:07.42  TE:  -16.000 None None", 255},
        {"0:0: 2013-Jan-05 21:14:07.42  TE:   15.875 None None", 0},
        {"A: 10: live panel pads the code", 10},
        {"7F:126: hex and decimal disagree", -1},
        {"100:256: out of range", -1},
        {"7E:12a: not decimal", -1},
        {"7E126 no colons", -1},
        {"7E:126 one colon", -1},
        {":: empty fields", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        const auto code = recordLineCode(c.line);
        EXPECT_EQ(code ? int(*code) : -1, c.code) << c.line;
    }
}

TEST(QelUnitSim, ReplayFileReadsEveryLineOrNamesTheBadOne) {
    std::istringstream good("7E:126: a\r\n\r\nFF:255: b\r\n0:0: c\r\n");
    const auto read = readReplayCodes(good);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.codes, (std::vector<std::uint8_t>{126, 255, 0}));

    std::istringstream bad("7E:126: a\nheading line\n");
    EXPECT_EQ(readReplayCodes(bad).error, "line 2: not a record line");
}

TEST(QelUnitSim, CommandLine) {
    EXPECT_EQ(rateForVersion("2.5 (5 Hz nom.)"), 5.0);
    EXPECT_EQ(rateForVersion("2.4 "), 8.0);
    EXPECT_EQ(rateForVersion("5 Hz"), 8.0);

    EXPECT_EQ(parseSimOptions({"--version", "2.5 (5 Hz nom.)"}).options.rate, 5.0);

    for (const auto& bad : std::vector<std::vector<std::string_view>>{{"--rate", "0"},
                                                                      {"--rate", "961"},
                                                                      {"--rate", "8x"},
                                                                      {"--port", "0"},
                                                                      {"--seconds", "-1"},
                                                                      {"--count"},
                                                                      {"--loud"}})
        EXPECT_NE(parseSimOptions(bad).error, "") << bad.front();
}
