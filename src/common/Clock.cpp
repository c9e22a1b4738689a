// The system clock: one std::chrono read split into local date, time and truncated hundredths.
#include "common/Clock.h"

#include <chrono>
#include <ctime>

namespace common {

LocalTime SystemClock::now() const {
    using namespace std::chrono;
    const auto t = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(t);
    // to_time_t may round; take the fraction relative to the whole second it returned.
    const auto frac = duration_cast<milliseconds>(t - system_clock::from_time_t(secs)).count();
    std::time_t whole = secs;
    long ms = static_cast<long>(frac);
    if (ms < 0) {
        whole -= 1;
        ms += 1000;
    }
    std::tm tm{};
    localtime_r(&whole, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec > 59 ? 59 : tm.tm_sec; // a leap second shows as :59
    lt.hundredths = static_cast<int>(ms / 10);
    return lt;
}

} // namespace common
