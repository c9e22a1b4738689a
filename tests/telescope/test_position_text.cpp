// raText and decText as the live and record lines carry them, and the read-out's "None" after three failed
// polls.
#include "telescope/PositionReadout.h"
#include "telescope/PositionText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace telescope;

TEST(PositionText, DeclinationAndRightAscensionTable) {
    const struct {
        bool isDec;
        double value;
        const char* text;
    } cases[] = {
        {true, 45.25, "DEC  +45:15:00"},
        {true, -0.5, "DEC  -00:30:00"},
        {true, 0, "DEC  -00:00:00"},
        {true, 10.1, "DEC  +10:05:59"},  // 0.1 degree is 5.99999... minutes in doubles; truncation keeps 5
        {true, -10.1, "DEC  -10:05:59"}, // "DEC  " then the degrees' own sign
        {true, -45.5, "DEC  -45:30:00"},
        {true, -1, "DEC  -01:00:00"}, // -1 itself takes the degrees' own sign, not the "-" prefix
        {true, -90, "DEC  -90:00:00"},
        {false, 5.5, "RA  05:30:00"},
        {false, 12.2, "RA  12:11:59"},
        // Boundaries.
        {false, 0, "RA  00:00:00"},
        {false, 23.9999999, "RA  23:59:59"},
        {true, 90, "DEC  +90:00:00"},
        {true, -0.9999999, "DEC  -00:59:59"}, // just above -1: still the "-" prefix, degrees 00
        {true, 1e-9, "DEC  +00:00:00"},
        {true, -1e-9, "DEC  -00:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.isDec ? decText(c.value) : raText(c.value), c.text) << c.value;
}

TEST(PositionText, ValuesThatAreNoPositionGiveNoText) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, double> bad[] = {{nan, 0},  {0, nan},  {inf, 0}, {-0.1, 0},
                                             {24.5, 0}, {5, 90.5}, {5, -91}, {1e300, 0}};
    for (const auto& [ra, dec] : bad)
        EXPECT_FALSE(positionTexts(ra, dec)) << ra << " " << dec;
    ASSERT_TRUE(positionTexts(5.5, 45.25));
    EXPECT_EQ(positionTexts(5.5, 45.25)->raText, "RA  05:30:00");
}

TEST(PositionReadout, ThreeFailedPollsInARowOrAServerGoneMeanTheMountIsLost) {
    PositionReadout readout;
    const auto good = Result<double>::success(45.25);
    const auto lost = Result<double>::failed({0x407, "The mount is not connected"});
    const auto wrong = Result<double>::success(std::numeric_limits<double>::quiet_NaN());
    const auto gone = Result<double>::failed(
        {failureUnreachable, "127.0.0.1:11111 could not be reached (Connection refused)"});

    EXPECT_EQ(readout.pollAnswered(good, Result<double>::success(5.5)).texts->decText, "DEC  +45:15:00");
    // Two failures keep the last texts; the third gives "None" and the mount is lost, with the error.
    EXPECT_FALSE(readout.pollAnswered(lost, good).texts);
    EXPECT_FALSE(readout.pollAnswered(good, wrong).texts);
    const auto third = readout.pollAnswered(good, lost);
    ASSERT_TRUE(third.texts);
    EXPECT_EQ(third.texts->raText + third.texts->decText, "NoneNone");
    EXPECT_EQ(third.lost, "three position reads in a row failed, the last with The mount is not connected "
                          "(ASCOM error 0x407)");
    // A good answer starts the count again; a server that refuses is gone at the first failure.
    readout.reset();
    EXPECT_EQ(readout.pollAnswered(good, Result<double>::success(5.5)).texts->raText, "RA  05:30:00");
    const auto refused = readout.pollAnswered(gone, gone);
    EXPECT_EQ(refused.texts->raText, "None");
    EXPECT_EQ(refused.lost, "127.0.0.1:11111 could not be reached (Connection refused)");
}

} // namespace
