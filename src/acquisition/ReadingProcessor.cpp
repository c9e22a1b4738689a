// One reading through the recorder: decode, advance the rate counters, heading, record and live lines in
// the mode's order, then the chart and statistics.
#include "acquisition/ReadingProcessor.h"

#include "acquisition/LineTexts.h"
#include "acquisition/NumberFormat.h"
#include "acquisition/TrackingError.h"

namespace acquisition {

ReadingProcessor::ReadingProcessor(const common::Clock& clock, const common::TimeStampFormatter& stamps)
    : m_clock(clock)
    , m_stamps(stamps) {
    m_recordLine.reserve(128);
    m_liveLine.reserve(128);
    m_statisticsLabel.reserve(96);
    m_statisticsCaption.reserve(96);
}

void ReadingProcessor::startRun() {
    m_axis = AxisLimits{};
    m_sweep.clearTrace();
    m_sweep.resetStatistics();
    m_panel.set(0);
    m_state.counters = RateCounters{};
}

void ReadingProcessor::setPositionTexts(std::string_view raText, std::string_view decText) {
    m_state.raText.assign(raText);
    m_state.decText.assign(decText);
}

const ReadingOutputs& ReadingProcessor::processReading(std::uint8_t code, const AcquisitionOptions& options,
                                                       RecordSink* recordSink) {
    m_out = ReadingOutputs{};
    m_out.code = code;
    m_out.trackingError = trackingErrorFromCode(code);

    m_state.lastSampleText.clear();
    appendDecimal(m_state.lastSampleText, code);
    m_state.counters.advance(isFiveHzMode(options));

    if (options.check2Checked) {
        m_out.heading = kHeadingWithTelescope;
        m_lineRa = m_state.raText;
        m_lineDec = m_state.decText;
    } else {
        m_out.heading = kHeadingWithoutTelescope;
        m_lineRa = kNoPosition;
        m_lineDec = kNoPosition;
    }

    const ReadingRoute route = routeReading(options, m_state.counters);
    if (route.recordFirst) {
        if (route.recordLine)
            writeRecordLine(code, recordSink);
        writeLiveLine(code, route);
    } else {
        writeLiveLine(code, route);
        if (route.recordLine)
            writeRecordLine(code, recordSink);
    }

    if (route.chart != ChartRate::None)
        chart(m_out.trackingError, route.chart);
    return m_out;
}

void ReadingProcessor::writeRecordLine(std::uint8_t code, RecordSink* recordSink) {
    m_recordLine.clear();
    appendRecordLine(m_recordLine, code, m_clock.now(), m_stamps, m_lineRa, m_lineDec);
    m_out.recordLine = m_recordLine;
    if (!recordSink)
        return;
    RecordSink::WriteResult result = recordSink->writeLine(m_recordLine);
    if (!result.report.empty()) {
        m_recordReport = std::move(result.report);
        m_out.recordReport = m_recordReport;
    }
}

void ReadingProcessor::writeLiveLine(std::uint8_t code, const ReadingRoute& route) {
    if (route.liveLine) {
        m_liveLine.clear();
        appendLiveLine(m_liveLine, code, m_clock.now(), m_stamps, m_lineRa, m_lineDec);
        m_out.liveLine = m_liveLine;
        m_panel.addLine(m_liveLine);
    }
    if (route.trimCheck)
        m_out.clearPanel = m_panel.trimIfOverLimit();
}

void ReadingProcessor::chart(double te, ChartRate rate) {
    m_out.chart.rate = rate;
    m_out.chart.rateCaption = rateCaptionFor(rate);
    if (m_sweep.chart(te, rate) != SweepStep::Stored)
        return;
    m_out.chart.traceChanged = true;
    m_out.chart.axis = widenAxis(m_axis, te);
    const SweepState& s = m_sweep.state();
    m_statisticsLabel.clear();
    m_statisticsCaption.clear();
    appendStatisticsTexts(m_statisticsLabel, m_statisticsCaption, s.teMean, s.teStdDev);
    m_out.chart.statisticsLabel = m_statisticsLabel;
    m_out.chart.statisticsCaption = m_statisticsCaption;
}

std::string_view ReadingProcessor::rateCaptionFor(ChartRate rate) {
    const int samples = m_sweep.state().displaySamples;
    if (samples != m_captionSamples) {
        m_slowCaption = rateCaption(ChartRate::Slow, samples);
        m_fastCaption = rateCaption(ChartRate::Fast, samples);
        m_captionSamples = samples;
    }
    return rate == ChartRate::Fast ? m_fastCaption : m_slowCaption;
}

} // namespace acquisition
