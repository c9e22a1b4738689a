// Failures of driver calls in words.
#include "telescope/Driver.h"

#include <cstdio>

namespace telescope {

std::string describeFailure(const Failure& failure) {
    std::string text = failure.message.empty() ? "no reason given" : failure.message;
    char number[48] = "";
    if (failure.number >= 0x400)
        std::snprintf(number, sizeof number, " (ASCOM error 0x%X)", static_cast<unsigned>(failure.number));
    else if (failure.number >= 100 && failure.number < 600)
        std::snprintf(number, sizeof number, " (HTTP status %d)", failure.number);
    return text + number;
}

} // namespace telescope
