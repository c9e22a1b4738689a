// Numbers read from list texts. (The 5 Hz version test that decides the acquisition mode:
// test_reading_route.)
#include "common/ListNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(ListNumber, NumberAtTheStartOfTheText) {
    const std::pair<const char*, double> cases[] = {
        {"2 Hz", 2.0},  {"0.5", 0.5}, {"", 0.0},     {"  120", 120.0}, {"Hz", 0.0},
        {"1920", 1920}, {"-1", -1.0}, {"2.4 ", 2.4}, {".5", 0.5},      {"3.0x", 3.0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(common::numberAtStart(text), value) << '"' << text << '"';
    EXPECT_EQ(common::numberAtStart(std::string(400, '9')), HUGE_VAL);
    EXPECT_EQ(common::numberAtStart("0." + std::string(400, '0') + "1"), 0.0);
}

} // namespace
