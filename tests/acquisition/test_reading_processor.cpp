// Readings through the whole receive path: every byte a reading, outputs in the mode's order, one clock
// read per line, chart outputs and the panel limit. (A record write that fails, told once: test_record_file
// for the file, tst_recording_run's full disk for the report reaching the operator.)
#include "acquisition/LineTexts.h"
#include "acquisition/ReadingProcessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace acquisition;

// A clock that advances one hundredth per read, so each line shows which read it took.
class SteppingClock final : public common::Clock {
public:
    common::LocalTime now() const override { return {2013, 1, 5, 21, 14, 7, ++reads}; }
    mutable int reads = 0;
};

AcquisitionOptions options(bool fiveHz = false, bool highSpeed = false) {
    return {.versionText = fiveHz ? "2.5 (5 Hz nom.)" : "2.5",
            .check1Checked = true,
            .check3Enabled = fiveHz,
            .check3Checked = highSpeed,
            .check4Checked = true};
}

class ReadingProcessorTest : public ::testing::Test {
protected:
    SteppingClock clock;
    common::TimeStampFormatter stamps;
    ReadingProcessor processor{clock, stamps};
};

TEST_F(ReadingProcessorTest, EveryByteOfOneReadIsAReadingAndEachLineReadsTheClockOnce) {
    processor.startRun();
    processor.setPositionTexts("RA  05:34:31", "DEC +22:00:52"); // "None" while Check2 is unchecked
    const std::uint8_t received[] = {126, 5, 255};
    std::vector<std::string> lines; // standard mode: the record line first, then the live line
    int panel = 0;
    processor.processReceived(received, options(), nullptr, [&](const ReadingOutputs& out) {
        lines.emplace_back(out.recordLine);
        lines.emplace_back(out.liveLine);
        panel += 2 + static_cast<int>(out.liveLine.size());
        EXPECT_EQ(out.heading, kHeadingWithoutTelescope);
    });
    EXPECT_EQ(lines,
              (std::vector<std::string>{"7E:126: 2013-Jan-05 21:14:07.01  TE:    0.125 None None",
                                        "7E:126: 2013-Jan-05 21:14:07.02  TE:    0.125 ASCOM None None",
                                        "5:5: 2013-Jan-05 21:14:07.03  TE:   15.250 None None",
                                        "5:  5: 2013-Jan-05 21:14:07.04  TE:   15.250 ASCOM None None",
                                        "FF:255: 2013-Jan-05 21:14:07.05  TE:  -16.000 None None",
                                        "FF:255: 2013-Jan-05 21:14:07.06  TE:  -16.000 ASCOM None None"}));
    EXPECT_EQ(processor.panelLength(), panel);

    // Start keeps the last code for the PID controller; 5 Hz mode writes the live line first.
    processor.startRun();
    EXPECT_EQ(processor.state().lastSampleText, "255");
    AcquisitionOptions o = options(true, true);
    o.check2Checked = true;
    processor.setPositionTexts("RA  05:34:31", "DEC +22:00:52");
    const ReadingOutputs& fiveHz = processor.processReading(128, o, nullptr);
    EXPECT_EQ(fiveHz.liveLine,
              "80:128: 2013-Jan-05 21:14:07.07  TE:   -0.125 ASCOM RA  05:34:31 DEC +22:00:52");
    EXPECT_EQ(fiveHz.recordLine, "80:128: 2013-Jan-05 21:14:07.08  TE:   -0.125 RA  05:34:31 DEC +22:00:52");
    EXPECT_EQ(fiveHz.heading, kHeadingWithTelescope);
    EXPECT_EQ(clock.reads, 8);
}

TEST_F(ReadingProcessorTest, ChartOutputsAtTheSlowRateAndNothingBreaksWithoutADisplaySize) {
    processor.startRun(); // no display size chosen yet: the reading is still recorded and shown
    const ReadingOutputs& unsized = processor.processReading(0, options(true, true), nullptr);
    EXPECT_EQ(unsized.chart.rate, ChartRate::Fast);
    EXPECT_FALSE(unsized.chart.traceChanged);
    EXPECT_FALSE(unsized.recordLine.empty() || unsized.liveLine.empty());

    processor.chooseDisplaySize(120);
    processor.startRun();
    const ReadingOutputs& first = processor.processReading(135, options(), nullptr); // -1.0
    EXPECT_EQ(first.chart.rate, ChartRate::Slow);
    EXPECT_TRUE(first.chart.traceChanged);
    EXPECT_EQ(first.chart.axis.limit, AxisChange::Limit::None);
    EXPECT_EQ(processor.sweep().state().displayBuffer[0], -1.0);
    for (int i = 2; i <= 8; ++i)
        EXPECT_EQ(processor.processReading(135, options(), nullptr).chart.rate, ChartRate::None) << i;
    EXPECT_EQ(processor.processReading(119, options(), nullptr).chart.rate, ChartRate::Slow); // the 9th
    EXPECT_EQ(processor.sweep().state().displayBuffer[1], 1.0);
}

TEST_F(ReadingProcessorTest, PanelIsEmptiedByTheLineThatTakesItPastItsLimit) {
    processor.startRun();
    int before = 0;
    int readings = 0;
    for (bool cleared = false; !cleared; ++readings) {
        before = processor.panelLength();
        const ReadingOutputs& out = processor.processReading(127, options(), nullptr);
        cleared = out.clearPanel;
        if (!cleared)
            EXPECT_LE(processor.panelLength(), TextPanelLength::kLimit);
        else
            EXPECT_GT(before + 2 + static_cast<int>(out.liveLine.size()), TextPanelLength::kLimit);
    }
    EXPECT_EQ(processor.panelLength(), 0);
    EXPECT_GT(readings, 900);
}

TEST(TextPanelLength, TheLimitItselfIsNoReasonToEmpty) {
    TextPanelLength panel;
    panel.set(TextPanelLength::kLimit);
    EXPECT_FALSE(panel.trimIfOverLimit());
    panel.addLine("x");
    EXPECT_TRUE(panel.trimIfOverLimit());
    EXPECT_EQ(panel.length(), 0);
}

} // namespace
