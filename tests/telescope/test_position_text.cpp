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
    const struct {
        double ra, dec;
    } bad[] = {{nan, 0}, {0, nan}, {inf, 0}, {-0.1, 0}, {24.5, 0}, {5, 90.5}, {5, -91}, {1e300, 0}};
    for (const auto& b : bad)
        EXPECT_FALSE(positionTexts(b.ra, b.dec)) << b.ra << " " << b.dec;
    ASSERT_TRUE(positionTexts(5.5, 45.25));
    EXPECT_EQ(positionTexts(5.5, 45.25)->raText, "RA  05:30:00");
}

TEST(PositionReadout, ThreeFailedPollsInARowGiveNoneAndOneMessage) {
    PositionReadout readout;
    const std::string id = "alpaca://127.0.0.1:11111/telescope/0";
    const auto good = Result<double>::success(45.25);
    const auto lost = Result<double>::failed({0x407, "The mount is not connected"});
    const auto wrong = Result<double>::success(std::numeric_limits<double>::quiet_NaN());

    EXPECT_EQ(readout.pollAnswered(good, Result<double>::success(5.5), id).texts->decText, "DEC  +45:15:00");
    // Two failures keep the last texts; the third gives "None" and the message, naming device and error.
    EXPECT_FALSE(readout.pollAnswered(lost, good, id).texts);
    EXPECT_FALSE(readout.pollAnswered(good, wrong, id).texts);
    const auto third = readout.pollAnswered(good, lost, id);
    ASSERT_TRUE(third.texts);
    EXPECT_EQ(third.texts->raText + third.texts->decText, "NoneNone");
    EXPECT_NE(third.tell.find(id), std::string::npos);
    EXPECT_NE(third.tell.find("0x407"), std::string::npos);
    // Further failures stay quiet; a good answer brings the position back and starts the count again.
    const auto fourth = readout.pollAnswered(lost, lost, id);
    EXPECT_FALSE(fourth.texts);
    EXPECT_TRUE(fourth.tell.empty());
    EXPECT_EQ(readout.pollAnswered(good, Result<double>::success(5.5), id).texts->raText, "RA  05:30:00");
    readout.pollAnswered(lost, lost, id);
    readout.pollAnswered(lost, lost, id);
    EXPECT_FALSE(readout.pollAnswered(lost, lost, id).tell.empty());
}

} // namespace
