// Readings through the whole receive path: every byte a reading, outputs in the mode's order, one clock
// read per line, the record file written and its failures reported.
#include "acquisition/LineTexts.h"
#include "acquisition/ReadingProcessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace acquisition;

// A clock that advances one hundredth per read, so each line shows which read it took.
class SteppingClock final : public app::Clock {
public:
    app::LocalTime now() const override {
        ++reads;
        return {2013, 1, 5, 21, 14, 7, reads};
    }
    mutable int reads = 0;
};

AcquisitionOptions standardOptions() {
    AcquisitionOptions o;
    o.versionText = "2.5";
    o.check1Checked = true;
    o.check4Checked = true;
    return o;
}

AcquisitionOptions fiveHzOptions(bool highSpeed) {
    AcquisitionOptions o = standardOptions();
    o.versionText = "2.5 (5 Hz nom.)";
    o.check3Enabled = true;
    o.check3Checked = highSpeed;
    return o;
}

class ReadingProcessorTest : public ::testing::Test {
protected:
    SteppingClock clock;
    app::TimeStampFormatter stamps;
    ReadingProcessor processor{clock, stamps};
};

TEST_F(ReadingProcessorTest, OneReadingGivesTheExampleLinesAndHeading) {
    app::ManualClock fixed({2013, 1, 5, 21, 14, 7, 42});
    ReadingProcessor p(fixed, stamps);
    p.startRun();
    const ReadingOutputs& out = p.processReading(126, standardOptions(), nullptr);
    EXPECT_EQ(out.recordLine, "7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 None None");
    EXPECT_EQ(out.liveLine, "7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 ASCOM None None");
    EXPECT_EQ(out.heading, kHeadingWithoutTelescope);
    EXPECT_EQ(out.trackingError, 0.125);
    EXPECT_EQ(p.state().lastSampleText, "126");
    EXPECT_EQ(p.state().raText, "None");
    EXPECT_EQ(p.panelLength(), 2 + static_cast<int>(out.liveLine.size()));
}

TEST_F(ReadingProcessorTest, RecordAndLiveLinesEachReadTheClockOnceInTheModesOrder) {
    processor.startRun();
    const ReadingOutputs& standard = processor.processReading(127, standardOptions(), nullptr);
    EXPECT_NE(standard.recordLine.find("07.01"), std::string_view::npos); // record first
    EXPECT_NE(standard.liveLine.find("07.02"), std::string_view::npos);
    const ReadingOutputs& fiveHz = processor.processReading(127, fiveHzOptions(true), nullptr);
    EXPECT_NE(fiveHz.liveLine.find("07.03"), std::string_view::npos); // live line first
    EXPECT_NE(fiveHz.recordLine.find("07.04"), std::string_view::npos);
    EXPECT_EQ(clock.reads, 4);
}

TEST_F(ReadingProcessorTest, EveryByteOfOneReadIsAReadingInOrder) {
    char pattern[] = "/tmp/qel-proc-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/r.txt";
    auto opened = RecordFile::open(path);
    ASSERT_TRUE(opened.file);

    processor.startRun();
    const std::uint8_t received[] = {126, 127, 128, 5};
    std::vector<std::string> live;
    processor.processReceived(received, standardOptions(), opened.file.get(),
                              [&](const ReadingOutputs& out) { live.emplace_back(out.liveLine); });
    ASSERT_EQ(live.size(), 4u);
    EXPECT_EQ(live[0].substr(0, 7), "7E:126:");
    EXPECT_EQ(live[1].substr(0, 7), "7F:127:");
    EXPECT_EQ(live[2].substr(0, 7), "80:128:");
    EXPECT_EQ(live[3].substr(0, 7), "5:  5: ");
    EXPECT_EQ(processor.state().lastSampleText, "5");
    EXPECT_EQ(processor.state().counters.slowRateCounter, 4);

    opened.file.reset();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buf[512] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    const std::string text(buf, n);
    EXPECT_EQ(text.substr(0, 8), "7E:126: ");
    EXPECT_NE(text.find("\r\n7F:127: "), std::string::npos);
    EXPECT_NE(text.find("\r\n80:128: "), std::string::npos);
    EXPECT_NE(text.find("\r\n5:5: "), std::string::npos);
    ::unlink(path.c_str());
    ::rmdir(pattern);
}

TEST_F(ReadingProcessorTest, PositionTextsFollowCheck2) {
    processor.startRun();
    processor.setPositionTexts("RA  05:34:31", "DEC +22:00:52");
    AcquisitionOptions o = standardOptions();
    o.check2Checked = true;
    const ReadingOutputs& with = processor.processReading(127, o, nullptr);
    EXPECT_EQ(with.heading, kHeadingWithTelescope);
    EXPECT_TRUE(with.liveLine.ends_with(" ASCOM RA  05:34:31 DEC +22:00:52"));
    o.check2Checked = false;
    const ReadingOutputs& without = processor.processReading(127, o, nullptr);
    EXPECT_EQ(without.heading, kHeadingWithoutTelescope);
    EXPECT_TRUE(without.liveLine.ends_with(" ASCOM None None"));
    EXPECT_EQ(processor.state().decText, "None");
}

TEST_F(ReadingProcessorTest, ChartOutputsAtTheSlowRate) {
    processor.chooseDisplaySize(120);
    processor.startRun();
    const AcquisitionOptions o = standardOptions();
    const ReadingOutputs& first = processor.processReading(135, o, nullptr); // -1.0
    EXPECT_EQ(first.chart.rate, ChartRate::Slow);
    EXPECT_EQ(first.chart.rateCaption, "1.0 Hz, 120 Seconds Range, 10 Seconds/Division");
    EXPECT_TRUE(first.chart.traceChanged);
    EXPECT_EQ(first.chart.axis.limit, AxisChange::Limit::None);
    EXPECT_EQ(first.chart.statisticsLabel, "TE: 0.000 \u00b10.000 arcsecond 95% PI, 0.000 RMS");
    EXPECT_EQ(processor.sweep().state().displayBuffer[0], -1.0);
    for (int i = 2; i <= 8; ++i)
        EXPECT_EQ(processor.processReading(135, o, nullptr).chart.rate, ChartRate::None) << i;
    EXPECT_EQ(processor.processReading(119, o, nullptr).chart.rate, ChartRate::Slow); // the 9th
    EXPECT_EQ(processor.sweep().state().displayBuffer[1], 1.0);
}

TEST_F(ReadingProcessorTest, ChartingWithoutADisplaySizeIsHarmless) {
    processor.startRun(); // no display size was ever chosen
    const ReadingOutputs& out = processor.processReading(0, fiveHzOptions(true), nullptr);
    EXPECT_EQ(out.chart.rate, ChartRate::Fast);
    EXPECT_FALSE(out.chart.traceChanged);
    EXPECT_FALSE(out.recordLine.empty()); // the reading is still recorded and shown
    EXPECT_FALSE(out.liveLine.empty());
}

TEST_F(ReadingProcessorTest, PanelIsEmptiedOncePastItsLimit) {
    processor.startRun();
    int readings = 0;
    bool cleared = false;
    while (!cleared && readings < 10000) {
        const int before = processor.panelLength();
        const ReadingOutputs& out = processor.processReading(127, standardOptions(), nullptr);
        cleared = out.clearPanel;
        ++readings;
        if (cleared) {
            EXPECT_GT(before + 2 + static_cast<int>(out.liveLine.size()), TextPanelLength::kLimit);
        }
    }
    EXPECT_TRUE(cleared);
    EXPECT_EQ(processor.panelLength(), 0);
}

TEST_F(ReadingProcessorTest, RecordWriteFailureReachesTheOutputsOnce) {
    auto full = RecordFile::open("/dev/full");
    ASSERT_TRUE(full.file);
    processor.startRun();
    const std::string first(processor.processReading(127, standardOptions(), full.file.get()).recordReport);
    const std::string second(processor.processReading(127, standardOptions(), full.file.get()).recordReport);
    EXPECT_NE(first.find("/dev/full"), std::string::npos) << first;
    EXPECT_TRUE(second.empty()) << second;
    EXPECT_EQ(full.file->lostLines(), 2u); // the second line was tried too
}

TEST_F(ReadingProcessorTest, StartKeepsTheLastSampleText) {
    processor.processReading(42, standardOptions(), nullptr);
    processor.startRun();
    EXPECT_EQ(processor.state().lastSampleText, "42");
    EXPECT_EQ(processor.state().counters.slowRateCounter, 0);
}

} // namespace
