// Text forms of the analysis; numbers through common::formatFixed, so no locale changes them.
#include "analysis/Figures.h"

#include "common/FixedNumber.h"

#include <cmath>

namespace analysis {

std::string fixed(double value, int decimals) {
    return std::isfinite(value) ? common::formatFixed(value, decimals) : "-";
}

std::string withError(double value, double error, int decimals, const std::string& unit) {
    // Enough decimals for two significant digits of the error, at most six.
    int shown = decimals;
    while (shown < 6 && error > 0.0 && error < 10.0 * std::pow(10.0, -shown) - 0.5 * std::pow(10.0, -shown))
        ++shown;
    const std::string u = unit.empty() ? "" : " " + unit;
    return fixed(value, shown) + u + " \u00b1 " + fixed(error, shown) + u;
}

std::string dateTimeText(std::int64_t dayNumber, double seconds) {
    const auto whole = static_cast<std::int64_t>(std::floor(seconds));
    std::int64_t z = dayNumber + whole / 86400 + 719468;
    const std::int64_t ofDay = whole % 86400;
    // Howard Hinnant's civil_from_days.
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    common::LocalTime t{year,
                        month,
                        day,
                        static_cast<int>(ofDay / 3600),
                        static_cast<int>(ofDay / 60 % 60),
                        static_cast<int>(ofDay % 60),
                        0};
    return common::TimeStampFormatter().dateTime(t);
}

namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

double meanCyclePeakToPeak(const Analysis& a) {
    double sum = 0.0, n = 0.0;
    for (const CycleCurve& c : a.series.cycles)
        if (c.coverage >= 0.9) {
            sum += c.peakToPeak;
            n += 1.0;
        }
    return n > 0.0 ? sum / n : NAN;
}

std::string periodText(const Analysis& a) {
    if (!a.hasPeriod)
        return "not found (no clear peak in the searched range); give it with --period SECONDS";
    if (!a.periodTrusted)
        return "cannot be trusted (too few cycles: " + fixed(a.cycles, 1) +
               " recorded, at least 2 needed); the spectrum's best guess is " + fixed(a.period, 2) + " s";
    if (a.periodGiven || !(a.periodError > 0.0))
        return fixed(a.period, 2) + " s";
    return withError(a.period, a.periodError, 2, "s");
}

std::string harmonicName(int order) {
    return "worm \u00d7 " + std::to_string(order);
}

std::string ordersText(const std::vector<int>& orders) {
    std::string text = "worm \u00d7 ";
    for (std::size_t i = 0; i < orders.size(); ++i)
        text += (i ? ", " : "") + std::to_string(orders[i]);
    return text;
}

std::string componentText(const ComponentFigure& c) {
    std::string text =
        (c.periodError > 0.0 ? withError(c.period, c.periodError, 2, "s") : fixed(c.period, 2) + " s") +
        ", " + withError(c.amplitude, c.amplitudeError, 2) + " arcsec" + ", phase " + fixed(c.phase, 0) +
        " deg, " + fixed(100.0 * c.varianceShare, 1) + " % of the variance, S/N " +
        fixed(c.signalToNoise, 0) + ", ";
    if (c.wormHarmonic > 0)
        return text + harmonicName(c.wormHarmonic);
    text += "not a worm harmonic";
    if (c.wormRatio > 0.0)
        text += " (worm period / " + fixed(c.wormRatio, 3) + ")";
    return text;
}

std::string guideText(const Analysis& a, const GuideFigures& g) {
    std::string text = "the figures are of the mount's own error, rebuilt from " + g.file +
                       ": the readings plus " + plural(g.sent, "pulse", "pulses") + " sent (" +
                       (g.net >= 0.0 ? "+" : "") + fixed(g.net, 1) + " arcsec in all, East +); " +
                       std::to_string(g.refused) + " refused and " + std::to_string(g.skipped) +
                       " skipped moved nothing";
    // A log that starts late or ends early leaves part of the record guided.
    if (g.firstLine > a.firstReading + 30.0 || g.lastLine < a.lastReading - 30.0)
        text += "; the guide log covers only " + dateTimeText(a.firstDayNumber, g.firstLine) + " to " +
                dateTimeText(a.firstDayNumber, g.lastLine) + " of the record's " +
                dateTimeText(a.firstDayNumber, a.firstReading) + " to " +
                dateTimeText(a.firstDayNumber, a.lastReading);
    if (g.badLines > 0)
        text += "; " + plural(static_cast<std::size_t>(g.badLines), "line", "lines") +
                " of the guide log could not be read (" + g.firstBadLine + ")";
    return text;
}

} // namespace

std::vector<Figure> figures(const Analysis& a, std::size_t badLinesListed) {
    std::vector<Figure> f;
    f.push_back({"Worm period", periodText(a)});
    if (a.guide)
        f.push_back({"Guiding taken out", guideText(a, *a.guide)});
    if (a.hasPeriod) {
        std::string from = "the operator";
        if (!a.periodGiven) {
            from = "the spectrum's peak at " + fixed(a.spectrumPeriod, 1) +
                   " s, refined by a least-squares fit of the period with its harmonics and the components";
            if (a.periodError > 0.0)
                from += "; standard error from the fit's covariance scaled by the residual, widened \u00d7" +
                        fixed(a.periodErrorScale, 1) +
                        " for the residual's noise near the worm's frequencies";
        }
        f.push_back({"Period from", from});
        f.push_back({"Worm cycles", fixed(a.cycles, 1) + " (" + std::to_string(a.wholeCycles) + " whole)"});
    }
    for (const HarmonicFigure& h : a.harmonics)
        f.push_back({h.order == 1 ? std::string("Fundamental") : "Harmonic " + std::to_string(h.order),
                     withError(h.amplitude, h.amplitudeError, 2) + " arcsec amplitude (" +
                         fixed(2.0 * h.amplitude, 2) + " peak to peak) at " + fixed(h.period, 1) +
                         " s, phase " + fixed(h.phase, 0) + " deg"});
    f.push_back({"Components test",
                 "periods " + fixed(a.shortestComponent, 0) + " to " + fixed(a.longestComponent, 0) +
                     " s searched one by one in what the fit leaves; listed when the amplitude is at least " +
                     fixed(a.minSignalToNoise, 0) +
                     " times the mean amplitude of the residual's spectrum from half to twice its frequency "
                     "(S/N >= " +
                     fixed(a.minSignalToNoise, 0) + ") and " + fixed(a.minComponentAmplitude, 2) +
                     " arcsec; " + plural(a.components.size(), "component", "components") + " listed"});
    for (std::size_t i = 0; i < a.components.size(); ++i)
        f.push_back({"Component " + std::to_string(i + 1), componentText(a.components[i])});
    if (a.hasPeriod) {
        f.push_back({"Folded peak to peak", fixed(a.foldedPeakToPeak, 2) + " arcsec"});
        f.push_back({"Folded RMS", fixed(a.foldedRms, 2) + " arcsec"});
    }
    f.push_back({"RMS", fixed(a.rms, 2) + " arcsec (drift removed)"});
    if (!a.strongest.empty()) {
        f.push_back(
            {"RMS after a full correction",
             fixed(a.correctedRms, 2) +
                 " arcsec (the fitted worm-periodic curve taken out; what is not a worm harmonic remains)"});
        for (const CorrectionFigure& c : a.strongest)
            f.push_back({"RMS after correcting " + plural(c.orders.size(), "harmonic", "harmonics"),
                         fixed(c.rms, 2) + " arcsec (the strongest: " + ordersText(c.orders) + ")"});
    }
    f.push_back({"Maximum excursion", fixed(a.maxExcursion, 2) + " arcsec"});
    f.push_back({"Drift rate", fixed(a.driftRate, 3) + " arcsec/min"});
    f.push_back({"Clipped readings", std::to_string(a.clipped) + " (at -16.000 or +15.875 arcsec)"});
    f.push_back({"Readings", std::to_string(a.readings) + " at " + fixed(a.readingRate, 3) + " per second, " +
                                 fixed(a.recordedSeconds / 60.0, 1) + " min recorded"});
    f.push_back({"Runs", std::to_string(a.runs.size())});
    for (std::size_t r = 0; r < a.runs.size(); ++r) {
        const RunFigure& run = a.runs[r];
        f.push_back({"Run " + std::to_string(r + 1), dateTimeText(a.firstDayNumber, run.start) + " to " +
                                                         dateTimeText(a.firstDayNumber, run.end) + ", " +
                                                         plural(run.readings, "reading", "readings") +
                                                         ", drift " + fixed(run.driftRate, 3) +
                                                         " arcsec/min"});
    }
    std::size_t number = 0;
    for (const CycleCurve& c : a.series.cycles) {
        ++number;
        std::string text = "peak to peak " + fixed(c.peakToPeak, 2) + " arcsec, RMS about the mean " +
                           fixed(c.rmsAboutMean, 2) + " arcsec";
        if (c.coverage < 0.9)
            text += " (partial: " + fixed(100.0 * c.coverage, 0) + " % of the turn recorded)";
        f.push_back({"Cycle " + std::to_string(number), text});
    }
    f.push_back({"Bad lines", std::to_string(a.badLineCount)});
    for (std::size_t i = 0; i < a.badLines.size() && i < badLinesListed; ++i)
        f.push_back({"Bad line " + std::to_string(a.badLines[i].lineNumber), a.badLines[i].reason});
    const std::uint64_t listed = std::min<std::uint64_t>(a.badLines.size(), badLinesListed);
    if (a.badLineCount > listed)
        f.push_back({"Bad lines not listed", std::to_string(a.badLineCount - listed)});
    return f;
}

std::string followSummary(const Analysis& a) {
    std::string text = plural(static_cast<std::size_t>(a.wholeCycles), "whole turn", "whole turns") + ", ";
    if (!a.hasPeriod)
        return text + "no worm period yet";
    if (!a.periodTrusted)
        return text + "the worm period needs two turns to be trusted (best guess " + fixed(a.period, 1) +
               " s)";
    return text + "worm period " + periodText(a);
}

std::string figureText(const std::vector<Figure>& list) {
    std::string out;
    for (const Figure& f : list)
        out += f.label + ": " + f.value + "\n";
    return out;
}

std::string foldedCsv(const FoldedCurve& folded) {
    std::string out = "phase_s,phase_deg,mean_arcsec,spread_arcsec\n";
    const double n = static_cast<double>(folded.bins());
    for (std::size_t b = 0; b < folded.bins(); ++b) {
        const double phase = (static_cast<double>(b) + 0.5) / n;
        out += fixed(phase * folded.period, 3) + "," + fixed(phase * 360.0, 3) + ",";
        if (folded.count[b] > 0)
            out += fixed(folded.mean[b], 4) + "," + fixed(folded.spread[b], 4);
        else
            out += ",";
        out += "\n";
    }
    return out;
}

std::vector<Figure> comparison(const Analysis& before, const Analysis& after) {
    struct Row {
        const char* label;
        double before, after;
        const char* unit;
        int decimals;
    };
    const auto fundamental = [](const Analysis& a) {
        return a.harmonics.empty() ? NAN : a.harmonics[0].amplitude;
    };
    const Row rows[] = {
        {"Worm period", before.hasPeriod ? before.period : NAN, after.hasPeriod ? after.period : NAN, "s", 2},
        {"Fundamental amplitude", fundamental(before), fundamental(after), "arcsec", 2},
        {"Folded peak to peak", before.foldedPeakToPeak, after.foldedPeakToPeak, "arcsec", 2},
        {"Folded RMS", before.foldedRms, after.foldedRms, "arcsec", 2},
        {"Peak to peak per cycle (mean)", meanCyclePeakToPeak(before), meanCyclePeakToPeak(after), "arcsec",
         2},
        {"RMS", before.rms, after.rms, "arcsec", 2},
        {"RMS after a full correction", before.correctedRms, after.correctedRms, "arcsec", 2},
        {"Maximum excursion", before.maxExcursion, after.maxExcursion, "arcsec", 2},
        {"Drift rate", before.driftRate, after.driftRate, "arcsec/min", 3},
    };
    std::vector<Figure> f;
    for (const Row& r : rows) {
        const double ratio = r.before != 0.0 ? r.after / r.before : NAN;
        f.push_back({r.label, fixed(r.before, r.decimals) + " -> " + fixed(r.after, r.decimals) + " " +
                                  r.unit + ", after/before " + fixed(ratio, 2)});
    }
    return f;
}

} // namespace analysis
