// Chart captions and axis limits for charted readings.
#include "acquisition/ChartTexts.h"

#include "acquisition/NumberFormat.h"
#include "common/FixedNumber.h"

namespace acquisition {
namespace {

constexpr const char* kPlusMinus = "\xC2\xB1"; // U+00B1 in UTF-8

// The three figures of the statistics texts: mean, 95 % prediction interval and RMS, three decimals each.
struct Figures {
    std::string mean, interval, rms;
    Figures(double teMean, double teStdDev) {
        common::appendFixed(mean, teMean, 3);
        common::appendFixed(interval, 2.0 * teStdDev, 3);
        common::appendFixed(rms, teStdDev / kRmsDivisor, 3);
    }
};

void appendFigures(std::string& out, const Figures& f, const char* afterInterval, const char* afterRms) {
    out += "TE: ";
    out += f.mean;
    out += ' ';
    out += kPlusMinus;
    out += f.interval;
    out += afterInterval;
    out += f.rms;
    out += afterRms;
}

constexpr const char* kLabelInterval = " arcsecond 95% PI, ";
constexpr const char* kLabelRms = " RMS";
constexpr const char* kCaptionInterval = " arcsecond, 95% PI, ";
constexpr const char* kCaptionRms = " arcsecond RMS";

} // namespace

std::string rateCaption(ChartRate rate, int displaySamples) {
    std::string s;
    const double samples = displaySamples;
    switch (rate) {
    case ChartRate::None:
        break;
    case ChartRate::Slow:
        s += "1.0 Hz, ";
        appendPlainNumber(s, samples);
        s += " Seconds Range, ";
        appendPlainNumber(s, samples / 12.0);
        s += " Seconds/Division";
        break;
    case ChartRate::Fast:
        s += "5.0 Hz, ";
        appendPlainNumber(s, samples / 5.0);
        s += " Seconds Range, ";
        appendPlainNumber(s, samples / 60.0);
        s += " Seconds/Division";
        break;
    }
    return s;
}

void appendStatisticsLabel(std::string& out, double teMean, double teStdDev) {
    appendFigures(out, Figures(teMean, teStdDev), kLabelInterval, kLabelRms);
}

void appendStatisticsCaption(std::string& out, double teMean, double teStdDev) {
    appendFigures(out, Figures(teMean, teStdDev), kCaptionInterval, kCaptionRms);
}

void appendStatisticsTexts(std::string& label, std::string& caption, double teMean, double teStdDev) {
    const Figures figures(teMean, teStdDev);
    appendFigures(label, figures, kLabelInterval, kLabelRms);
    appendFigures(caption, figures, kCaptionInterval, kCaptionRms);
}

AxisChange widenAxis(AxisLimits& limits, double te) {
    AxisChange change;
    if (te < 0 && te < limits.scaleLow) {
        limits.scaleLow = te;
        change = {AxisChange::Limit::Minimum, limits.scaleLow * 1.2};
    } else if (te > 0 && te > limits.scaleHigh) {
        limits.scaleHigh = te;
        change = {AxisChange::Limit::Maximum, limits.scaleHigh * 1.2};
    }
    return change;
}

} // namespace acquisition
