// Decoding readings and the locale-free number texts every line and caption is built from.
#include "acquisition/NumberFormat.h"
#include "acquisition/TrackingError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace acquisition;

TEST(DecodeTrackingError, TextsAtTheEdges) {
    const struct {
        const char* text;
        double te;
    } cases[] = {
        {"", 15.875},    // no reading yet: the PID controller sees +15.875
        {"0", 15.875},   // lowest code
        {"64", 7.875},   //
        {"126", 0.125},  //
        {"127", 0.0},    // centre
        {"255", -16.0},  // highest code
        {" 5", 15.25},   // leading blank skipped
        {"12x", 14.375}, // leading numeric part only
        {"abc", 15.875}, // not a number counts as 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeTrackingError(c.text), c.te) << '"' << c.text << '"';
}

TEST(DecodeTrackingError, ByteAndTextDecodesAgreeForAllCodes) {
    for (int code = 0; code < 256; ++code) {
        const auto byte = static_cast<std::uint8_t>(code);
        EXPECT_EQ(trackingErrorFromCode(byte), DecodeTrackingError(std::to_string(code))) << code;
        EXPECT_EQ(trackingErrorFromCode(byte), (127 - code) / 8.0) << code;
    }
}

TEST(NumberFormat, FixedDecimals) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {0.125, 3, "0.125"},
        {15.875, 3, "15.875"},
        {-16.0, 3, "-16.000"},
        {0.0, 3, "0.000"},
        {-0.0, 3, "0.000"},
        {-0.0004, 3, "0.000"}, // no "-0.000"
        {0.0006, 3, "0.001"},
        {0.0625, 3, "0.063"},
        {-0.0625, 3, "-0.063"}, // ties away from 0
        {2.0005, 3, "2.001"},
        {9.9995, 3, "10.000"},
        {1234.5678, 3, "1234.568"},
        {5.65685425, 3, "5.657"},
        {2.5, 0, "3"},
        {0.4, 0, "0"},
        {76447.42, 2, "76447.42"},
        {59.999, 2, "60.00"},
        {0.005, 2, "0.01"},
        {7.0, 2, "7.00"},
        {1e16, 3, "10000000000000000.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value << " to " << c.decimals;
}

TEST(NumberFormat, FieldsAndCodes) {
    const struct {
        std::string_view text;
        std::size_t width;
        const char* aligned;
    } fields[] = {
        {"5", 3, "  5"}, {"126", 3, "126"}, {"1234", 3, "1234"}, {"-16.000", 8, " -16.000"}, {"", 3, "   "}};
    for (const auto& f : fields) {
        std::string s;
        appendRightAligned(s, f.text, f.width);
        EXPECT_EQ(s, f.aligned);
    }

    const struct {
        unsigned code;
        const char* hex;
    } codes[] = {{0, "0"}, {5, "5"}, {10, "A"}, {15, "F"}, {16, "10"}, {126, "7E"}, {127, "7F"}, {255, "FF"}};
    for (const auto& c : codes) {
        std::string s;
        appendHex(s, c.code);
        EXPECT_EQ(s, c.hex);
    }

    const struct {
        double value;
        const char* text;
    } plain[] = {{120, "120"}, {10, "10"}, {0, "0"}, {2.5, "2.5"}, {-3, "-3"}, {1920.0 / 60.0, "32"}};
    for (const auto& p : plain) {
        std::string s;
        appendPlainNumber(s, p.value);
        EXPECT_EQ(s, p.text);
    }
}

} // namespace
