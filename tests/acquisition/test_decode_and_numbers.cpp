// Decoding readings and the locale-free number texts every line and caption is built from.
#include "acquisition/NumberFormat.h"
#include "acquisition/TrackingError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace acquisition;

TEST(DecodeTrackingError, TextsAtTheEdges) {
    // "" is no reading yet: the PID controller sees +15.875. Only a leading number counts; none counts as 0.
    const std::pair<const char*, double> cases[] = {{"", 15.875},   {"0", 15.875},   {"64", 7.875},
                                                    {"126", 0.125}, {"127", 0.0},    {"255", -16.0},
                                                    {" 5", 15.25},  {"12x", 14.375}, {"abc", 15.875}};
    for (const auto& [text, te] : cases)
        EXPECT_EQ(DecodeTrackingError(text), te) << '"' << text << '"';
}

TEST(DecodeTrackingError, ByteAndTextDecodesAgreeForAllCodes) {
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(trackingErrorFromCode(static_cast<std::uint8_t>(code)),
                  DecodeTrackingError(std::to_string(code)))
            << code;
}

} // namespace
