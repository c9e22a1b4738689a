// Guide-log lines field by field (numbers through std::from_chars: no locale), and the sum of the pulses.
#include "analysis/GuideLog.h"

#include "common/Sky.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace analysis {
namespace {

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find(' ', start), text.size());
        out.push_back(text.substr(start, end - start));
        at = end;
    }
    return out;
}

// A number, or "-" for none; false when it is neither.
bool value(std::string_view word, std::optional<double>& out) {
    if (word == "-") {
        out.reset();
        return true;
    }
    double v = 0.0;
    const auto r = std::from_chars(word.data(), word.data() + word.size(), v);
    if (r.ec != std::errc() || r.ptr != word.data() + word.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

std::string noLinesMessage(const GuideLog& log, std::string_view name) {
    std::string msg(name);
    if (log.lines == 0)
        return msg +
               " is empty: it holds no guide-log lines. Give the guide log written with this record file.";
    msg += " holds no readable guide-log line (" + std::to_string(log.lines) + " lines";
    if (!log.badLines.empty())
        msg +=
            "; line " + std::to_string(log.badLines.front().lineNumber) + ": " + log.badLines.front().reason;
    return msg + "). Give the guide log written with this record file.";
}

} // namespace

double GuideLine::correction() const {
    if (outcome != PulseOutcome::Sent || !rate || direction == 0)
        return 0.0;
    // An East pulse lowers the tracking error: adding it back raises the rebuilt one.
    return (direction == 'E' ? 1.0 : -1.0) * *rate * common::kSiderealArcsecPerSecond * milliseconds / 1000.0;
}

std::string parseGuideLine(std::string_view line, StampParser& stamps, GuideLine& out) {
    std::size_t used = 0;
    if (const LineFault fault = stamps.parse(line, out.dayNumber, out.hundredthsOfDay, used);
        fault != LineFault::None)
        return std::string(faultText(fault));
    const std::vector<std::string_view> w = words(line.substr(used));
    if (w.size() < 10)
        return "cut short";
    if (w[0] != "TE" || w[2] != "U" || w[4] != "RA" || w[7] != "RATE")
        return "the fields are not TE, U, RA and RATE";
    if (!value(w[1], out.trackingError))
        return "the tracking error is not a number";
    if (!value(w[3], out.output))
        return "the controller output is not a number";
    if (w[5] != "E" && w[5] != "W" && w[5] != "-")
        return "the RA direction is not E, W or -";
    out.direction = w[5] == "-" ? 0 : w[5][0];
    const auto ms = std::from_chars(w[6].data(), w[6].data() + w[6].size(), out.milliseconds);
    if (ms.ec != std::errc() || ms.ptr != w[6].data() + w[6].size() || out.milliseconds < 0)
        return "the pulse length is not a number of milliseconds";
    if (!value(w[8], out.rate) || (out.rate && !(*out.rate >= 0.0)))
        return "the guide rate is not a number";
    out.detail.clear();
    for (std::size_t i = 10; i < w.size(); ++i)
        out.detail += std::string(i > 10 ? " " : "") + std::string(w[i]);
    if (w[9] == "sent") {
        out.outcome = PulseOutcome::Sent;
        if (w.size() > 10)
            return "text after \"sent\"";
        if (out.direction == 0 || !out.rate)
            return "a sent pulse without a direction or a rate";
    } else if (w[9] == "refused" || w[9] == "skipped") {
        out.outcome = w[9] == "refused" ? PulseOutcome::Refused : PulseOutcome::Skipped;
        if (w.size() == 10)
            return std::string("\"") + std::string(w[9]) + "\" without a reason";
    } else {
        return "the outcome is not sent, refused or skipped";
    }
    return {};
}

GuideLogResult readGuideLogText(std::string_view text, const std::vector<common::MonthNames>& monthNames,
                                std::string_view name) {
    GuideLogResult result;
    GuideLog& log = result.log;
    const MonthLookup months(monthNames);
    StampParser stamps(months);
    bool first = true;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++log.lines;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(' ') == std::string_view::npos)
            continue;
        GuideLine g;
        const std::string fault = parseGuideLine(line, stamps, g);
        if (!fault.empty()) {
            if (log.badLines.size() < kMaxBadLinesKept)
                log.badLines.push_back({log.lines, fault});
            ++log.badLineCount;
            continue;
        }
        const double seconds = g.hundredthsOfDay / 100.0;
        if (first)
            log.firstDay = g.dayNumber, log.firstSecondOfDay = seconds;
        first = false;
        log.lastDay = g.dayNumber, log.lastSecondOfDay = seconds;
        switch (g.outcome) {
        case PulseOutcome::Sent:
            log.sent.push_back({g.dayNumber, seconds, g.milliseconds / 1000.0, g.correction()});
            break;
        case PulseOutcome::Refused:
            ++log.refused;
            break;
        case PulseOutcome::Skipped:
            ++log.skipped;
            break;
        }
    }
    if (first)
        result.error = noLinesMessage(log, name);
    return result;
}

GuideLogResult readGuideLog(const std::string& path, const std::vector<common::MonthNames>& monthNames) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        GuideLogResult failed;
        failed.error = "Cannot open the guide log " + path + ": " + std::strerror(errno) + ".";
        return failed;
    }
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) {
        GuideLogResult failed;
        failed.error = "Cannot read the guide log " + path + ": " + std::strerror(errno) + ".";
        return failed;
    }
    return readGuideLogText(text, monthNames, "The guide log " + path);
}

std::vector<double> guideCorrection(const Recording& rec, const GuideLog& log) {
    struct Pulse {
        double start, length, correction;
    };
    std::vector<Pulse> pulses;
    double longest = 0.0;
    for (const SentPulse& p : log.sent) {
        pulses.push_back({static_cast<double>(p.dayNumber - rec.firstDayNumber) * 86400.0 + p.secondsOfDay,
                          p.length, p.correction});
        longest = std::max(longest, p.length);
    }
    std::stable_sort(pulses.begin(), pulses.end(),
                     [](const Pulse& a, const Pulse& b) { return a.start < b.start; });
    std::vector<double> before(pulses.size() + 1, 0.0); // sum of the first k pulses, whole
    for (std::size_t k = 0; k < pulses.size(); ++k)
        before[k + 1] = before[k] + pulses[k].correction;

    std::vector<double> moved(rec.size(), 0.0);
    for (std::size_t i = 0; i < rec.size(); ++i) {
        const double t = rec.seconds[i];
        const auto started =
            static_cast<std::size_t>(std::upper_bound(pulses.begin(), pulses.end(), t,
                                                      [](double x, const Pulse& p) { return x < p.start; }) -
                                     pulses.begin());
        double sum = before[started];
        // A pulse still running has moved the mount by the share of its length gone by.
        for (std::size_t k = started; k-- > 0 && pulses[k].start > t - longest;)
            if (pulses[k].length > 0.0 && pulses[k].start + pulses[k].length > t)
                sum -= pulses[k].correction * (1.0 - (t - pulses[k].start) / pulses[k].length);
        moved[i] = sum;
    }
    return moved;
}

} // namespace analysis
