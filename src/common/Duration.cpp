#include "common/Duration.h"

#include <algorithm>

namespace common {

namespace {
std::string twoDigits(long long value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}
} // namespace

std::string durationText(std::chrono::steady_clock::duration span) {
    using namespace std::chrono;
    const long long total = std::max<long long>(0, duration_cast<seconds>(span + milliseconds(500)).count());
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long secs = total % 60;
    if (hours > 0)
        return std::to_string(hours) + " h " + twoDigits(minutes) + " min " + twoDigits(secs) + " s";
    if (minutes > 0)
        return std::to_string(minutes) + " min " + twoDigits(secs) + " s";
    return std::to_string(secs) + " s";
}

} // namespace common
