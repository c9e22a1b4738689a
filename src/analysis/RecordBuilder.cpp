// The stamps of a recording turned into times: runs split at gaps, the reading rate estimated, bursts spread.
#include "analysis/RecordBuilder.h"

#include <algorithm>
#include <cmath>

namespace analysis {
namespace {

constexpr double kHundredthsPerDay = 8640000.0;

// Stamps are in hundredths here.
void splitRuns(Recording& rec, double newRunGap) {
    std::vector<double>& s = rec.seconds;
    const double gap = newRunGap * 100.0;
    std::size_t start = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const double step = s[i] - s[i - 1];
        if (step < 0.0 && step >= -100.0) {
            // Not a new run: hundredths "00" read while the seconds still showed the previous second,
            // or a clock read a little behind the last one.
            const bool wholeSecond = std::fmod(s[i], 100.0) == 0.0;
            s[i] = wholeSecond ? std::max(s[i] + 100.0, s[i - 1]) : s[i - 1];
        } else if (step < -100.0 || step > gap) {
            rec.runs.push_back({start, i});
            start = i;
        }
    }
    if (!s.empty())
        rec.runs.push_back({start, s.size()});
}

double estimateRate(const Recording& rec) {
    double readings = 0.0;
    double span = 0.0;
    for (const Run& run : rec.runs) {
        readings += static_cast<double>(run.end - run.first - 1);
        span += (rec.seconds[run.end - 1] - rec.seconds[run.first]) / 100.0;
    }
    if (span <= 0.0 || readings <= 0.0)
        return 8.0;
    const double rate = readings / span;
    // The units' own rates: 8/s, 5/s, and one in eight of the 5 Hz unit's.
    for (const double unit : {8.0, 5.0, 5.0 / 8.0})
        if (std::abs(rate / unit - 1.0) < 0.15)
            return unit;
    return rate;
}

// Readings that share one stamp arrived together: the unit sent them one interval apart before it.
void spreadBursts(Recording& rec) {
    std::vector<double>& s = rec.seconds;
    const double interval = 100.0 / rec.readingRate;
    for (const Run& run : rec.runs) {
        double previousStamp = -1.0;
        std::size_t i = run.first;
        while (i < run.end) {
            std::size_t j = i + 1;
            while (j < run.end && s[j] == s[i])
                ++j;
            const double stamp = s[i];
            double spacing = interval;
            if (i != run.first)
                spacing = std::min(interval, (stamp - previousStamp) / static_cast<double>(j - i));
            for (std::size_t k = i; k < j; ++k)
                s[k] = (stamp - static_cast<double>(j - 1 - k) * spacing) / 100.0;
            previousStamp = stamp;
            i = j;
        }
    }
}

void finishRecording(Recording& rec, const ReadOptions& options) {
    splitRuns(rec, options.newRunGap);
    rec.readingRate = options.readingRate.value_or(estimateRate(rec));
    spreadBursts(rec);
}

} // namespace

RecordBuilder::RecordBuilder(ReadOptions options)
    : m_options(std::move(options))
    , m_months(m_options.monthNames)
    , m_parser(m_months) {}

void RecordBuilder::reserve(std::size_t readings) {
    m_raw.seconds.reserve(readings);
    m_raw.codes.reserve(readings);
}

void RecordBuilder::addLine(std::string_view line) {
    ++m_raw.lineCount;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.find_first_not_of(' ') == std::string_view::npos)
        return; // a blank line holds no reading
    ParsedLine parsed;
    const LineFault fault = m_parser.parse(line, parsed);
    if (fault != LineFault::None) {
        if (m_raw.badLines.size() < kMaxBadLinesKept)
            m_raw.badLines.push_back({m_raw.lineCount, std::string(faultText(fault))});
        ++m_raw.badLineCount;
        return;
    }
    if (m_raw.codes.empty())
        m_raw.firstDayNumber = parsed.dayNumber;
    // Hundredths since the first reading's midnight: whole numbers, exact in a double.
    m_raw.seconds.push_back(static_cast<double>(parsed.dayNumber - m_raw.firstDayNumber) * kHundredthsPerDay +
                            parsed.hundredthsOfDay);
    m_raw.codes.push_back(parsed.code);
}

Recording RecordBuilder::recording() const {
    Recording rec = m_raw;
    finishRecording(rec, m_options);
    return rec;
}

Recording RecordBuilder::finish() {
    Recording rec = std::move(m_raw);
    m_raw = Recording();
    finishRecording(rec, m_options);
    return rec;
}

} // namespace analysis
