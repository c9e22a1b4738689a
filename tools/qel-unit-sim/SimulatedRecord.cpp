// The recorder's formatter fed by the simulated signal and a simulated clock.
#include "SimulatedRecord.h"

#include "acquisition/LineTexts.h"

#include <chrono>
#include <cmath>

namespace qelsim {

common::LocalTime addSeconds(const common::LocalTime& start, double seconds) {
    using namespace std::chrono;
    const sys_days day{year{start.year} / start.month / start.day};
    const auto hundredths = static_cast<std::int64_t>(std::floor(seconds * 100.0 + 1e-6)) +
                            ((start.hour * 60 + start.minute) * 60 + start.second) * 100 + start.hundredths;
    const std::int64_t dayShift =
        hundredths >= 0 ? hundredths / 8640000 : -((8639999 - hundredths) / 8640000);
    const std::int64_t ofDay = hundredths - dayShift * 8640000;
    const year_month_day ymd{day + days{dayShift}};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(ofDay / 360000),
            static_cast<int>(ofDay / 6000 % 60),
            static_cast<int>(ofDay / 100 % 60),
            static_cast<int>(ofDay % 100)};
}

std::uint64_t appendSimulatedRun(std::string& out, const SimulatedRun& run) {
    TrackingErrorSignal signal(run.model, run.seed, run.rate);
    const common::TimeStampFormatter stamps(run.months);
    const auto count = static_cast<std::uint64_t>(run.seconds * run.rate);
    for (std::uint64_t k = 0; k < count; ++k) {
        double at = static_cast<double>(k) / run.rate;
        if (run.burst > 0.0)
            at = std::ceil(at / run.burst - 1e-9) * run.burst;
        common::LocalTime t = addSeconds(run.start, at);
        if (run.lateSecond && t.hundredths == 0)
            t = addSeconds(t, -1.0); // the seconds were read before the clock turned
        acquisition::appendRecordLine(out, signal.nextCode(), t, stamps, "None", "None");
        out += "\r\n";
    }
    return count;
}

} // namespace qelsim
