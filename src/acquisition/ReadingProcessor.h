// The receive path of the recorder: every received byte is one reading, processed in order, each with its
// own pass through the outputs (record line, live line, chart). The window feeds it what the serial port
// delivered and applies the outputs to its controls; everything else happens here.
//
// Window side (app::RecordingRun and app::LiveDisplay), per received chunk, with no yield to the event loop
// in between:
//   options = <snapshot of List3, Check1 .. Check4>;
//   processor.processReceived(bytes, options, recordSink, [&](const ReadingOutputs& out) {
//       keep out.heading for Label4;
//       if (!out.recordReport.empty()) tell the operator;
//       if (!out.liveLine.empty()) queue "\n" + out.liveLine for Text1;   // the panel's lines end in LF
//       if (out.clearPanel) drop what is queued and empty Text1 at its next refresh;
//       if (out.chart.rate != ChartRate::None) {
//           textBox(1) := out.chart.rateCaption;
//           if (out.chart.axis.limit != None) set value axis minimum/maximum := out.chart.axis.value;
//           if (out.chart.traceChanged) keep out.chart.statisticsLabel and statisticsCaption;
//       }
//   });
//   then once for the chunk: Label4 := the heading; if the trace changed, textBox(2) := the caption and
//   trace := sweep().state().displayBuffer; the chart is asked for a redraw, which it paces (25 a second);
//   Text1's queued lines and Label5 are shown at the panel's next refresh (4 a second).
#pragma once

#include "acquisition/ChartTexts.h"
#include "acquisition/ReadingRoute.h"
#include "acquisition/RecordSink.h"
#include "acquisition/Sweep.h"
#include "acquisition/TextPanel.h"
#include "common/Clock.h"
#include "common/TimeStamp.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace acquisition {

// The chart changes of one reading. With rate None the chart is not touched at all.
struct ChartUpdate {
    ChartRate rate = ChartRate::None;
    std::string_view rateCaption; // chart text box 1
    // The reading was stored in the sweep: hand the whole displayBuffer to the trace, set the statistics
    // texts and redraw. False at a sweep boundary (only the caption changes) and while no display size is
    // chosen.
    bool traceChanged = false;
    AxisChange axis;                    // a value-axis limit to set first, if any
    std::string_view statisticsLabel;   // Label5, UTF-8 (set when traceChanged)
    std::string_view statisticsCaption; // chart text box 2, UTF-8 (set when traceChanged)
};

// What one reading asks of the window. The texts point into the processor and stay valid until the next
// reading is processed.
struct ReadingOutputs {
    std::uint8_t code = 0;
    double trackingError = 0.0; // arcseconds
    std::string_view heading;   // Label4's text
    // The record line written to the record file (without CR LF); empty when this reading is not recorded.
    std::string_view recordLine;
    // Non-empty when the record file has something to tell the operator (a write failed, works again).
    std::string_view recordReport;
    // A live line for Text1, to be appended after CR LF; empty when there is none.
    std::string_view liveLine;
    // Text1 has passed its length limit: empty it (after appending liveLine).
    bool clearPanel = false;
    ChartUpdate chart;
};

// State the receive path keeps between readings.
struct ReceiveState {
    RateCounters counters;
    // The character code of the latest reading in decimal digits; empty until the first reading of the
    // program. Kept across Stop and Start; the PID controller decodes it.
    std::string lastSampleText;
    // The mount's position texts as the telescope link last handed them on (empty until then). The lines
    // show them while Check2 is checked, and "None" while it is not.
    std::string raText;
    std::string decText;
};

class ReadingProcessor {
public:
    // clock and stamps must outlive the processor.
    ReadingProcessor(const common::Clock& clock, const common::TimeStampFormatter& stamps);

    // Start of a recording run: the axis limits back to +-16, the trace cleared, the statistics and rate
    // counters reset, the text panel counted as empty.
    void startRun();
    // A display size was chosen (List2): see Sweep::chooseDisplaySize.
    bool chooseDisplaySize(double samples) { return m_sweep.chooseDisplaySize(samples); }
    // Check3 changed: the statistics restart.
    void resetStatistics() { m_sweep.resetStatistics(); }
    // The telescope link has new position texts for the next lines.
    void setPositionTexts(std::string_view raText, std::string_view decText);

    // One reading: the received character code. The record line goes to recordSink (the record file, or
    // the writer thread in front of it); with null (no file open) it is formed but not written. Never
    // fails; what the sink reports at once arrives in recordReport.
    const ReadingOutputs& processReading(std::uint8_t code, const AcquisitionOptions& options,
                                         RecordSink* recordSink);

    // Every byte of one read is a reading, in order; apply(const ReadingOutputs&) is called after each.
    template <class Apply>
    void processReceived(std::span<const std::uint8_t> received, const AcquisitionOptions& options,
                         RecordSink* recordSink, Apply&& apply) {
        for (const std::uint8_t code : received)
            apply(processReading(code, options, recordSink));
    }

    const ReceiveState& state() const { return m_state; }
    const Sweep& sweep() const { return m_sweep; }
    const AxisLimits& axisLimits() const { return m_axis; }
    int panelLength() const { return m_panel.length(); }

private:
    void writeRecordLine(std::uint8_t code, RecordSink* recordSink);
    void writeLiveLine(std::uint8_t code, const ReadingRoute& route);
    void chart(double te, ChartRate rate);
    std::string_view rateCaptionFor(ChartRate rate);

    const common::Clock& m_clock;
    const common::TimeStampFormatter& m_stamps;
    ReceiveState m_state;
    Sweep m_sweep;
    AxisLimits m_axis;
    TextPanelLength m_panel;

    // The position texts of the reading being processed: the link's, or "None" while Check2 is unchecked.
    std::string_view m_lineRa;
    std::string_view m_lineDec;
    // Buffers behind the outputs' texts, reused from reading to reading.
    ReadingOutputs m_out;
    std::string m_recordLine;
    std::string m_recordReport;
    std::string m_liveLine;
    std::string m_statisticsLabel;
    std::string m_statisticsCaption;
    std::string m_slowCaption;
    std::string m_fastCaption;
    int m_captionSamples = -1; // displaySamples the captions were written for
};

} // namespace acquisition
