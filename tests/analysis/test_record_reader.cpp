// The record reader: bad lines by number, runs, bursts, late seconds, month names, file errors. (A run across
// midnight and the year's end: test_analysis's appended runs.)
#include "RecordText.h"
#include "analysis/RecordReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include <cstdio>
#include <fstream>

using namespace analysis;

namespace {

const std::string kGood = "7E:126: 2026-Dec-07 21:14:07.42  TE:    0.125 None None\r\n";

std::string line(const std::string& stamp, int code = 126) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%X", code);
    char te[16];
    std::snprintf(te, sizeof te, "%8.3f", (127 - code) * 0.125);
    return std::string(hex) + ":" + std::to_string(code) + ": " + stamp + "  TE: " + te + " None None\r\n";
}

ReadResult read(const std::string& text) {
    return readRecordText(text, testrecords::englishOnly());
}

} // namespace

TEST(RecordReader, ReportsEachBadLineByNumberAndKeepsTheRest) {
    // The line, and why it cannot be read.
    const std::pair<std::string, std::string> cases[] = {
        {"7E:126: 2026-Dec-07 21:14:07.42  TE:    0.1", "cut short"},
        {"12C:300: 2026-Dec-07 21:14:07.42  TE:  -21.625 None None", "the code is not a number"},
        {"2C:300: 2026-Dec-07 21:14:07.42  TE:  -21.625 None None", "code outside 0-255"},
        {"7E:125: 2026-Dec-07 21:14:07.42  TE:    0.125 None None", "hexadecimal and decimal code differ"},
        {"7E:126: 2026-Feb-30 21:14:07.42  TE:    0.125 None None", "impossible date"},
        {"7E:126: 2026-Dec-07 24:14:07.42  TE:    0.125 None None", "impossible time of day"},
        {"7E:126: 2026-Dec-07 21:14:07.42  TE:    abcde None None", "the tracking error is not a number"},
        {"7E:126: 2026-Dec-07 21:14:07.42  TE:    9.125 None None",
         "the tracking error does not match the code"},
    };
    std::string text = kGood;
    for (const auto& [line, reason] : cases)
        text += line + "\r\n" + kGood;
    const ReadResult result = read(text);
    ASSERT_TRUE(result.error.empty()) << result.error;
    const Recording& rec = result.recording;
    EXPECT_EQ(rec.size(), std::size(cases) + 1);
    ASSERT_EQ(rec.badLines.size(), std::size(cases));
    EXPECT_EQ(rec.badLineCount, std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(rec.badLines[i].lineNumber, 2 * i + 2) << cases[i].first;
        EXPECT_EQ(rec.badLines[i].reason, cases[i].second) << cases[i].first;
    }
}

TEST(RecordReader, AcceptsPositionsAndLivePaddingAndDecodesTheCode) {
    const ReadResult r = read("5:  5: 2026-Dec-07 21:14:07.42  TE:   15.250 ASCOM 12:00:00 +45:00:00\r\n" +
                              line("2026-Dec-07 21:14:07.54", 255) + line("2026-Dec-07 21:14:07.67", 0));
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_EQ(r.recording.size(), 3u);
    EXPECT_EQ((std::vector{r.recording.arcseconds(0), r.recording.arcseconds(1), r.recording.arcseconds(2)}),
              (std::vector{15.25, -16.0, 15.875})); // exact in binary
    EXPECT_NEAR(r.recording.seconds[0], 21 * 3600 + 14 * 60 + 7.42, 1e-9);
}

TEST(RecordReader, SplitsRunsAtGapsAndBackwardStepsButNotAtLateSeconds) {
    // Readings at 8/s; a 10-minute gap; then a stamp 3 s back; and a "00" stamp showing the previous second.
    const std::string text =
        line("2026-Dec-07 21:00:00.00") + line("2026-Dec-07 21:00:00.12") + line("2026-Dec-07 21:10:00.00") +
        line("2026-Dec-07 21:10:00.87") + line("2026-Dec-07 21:10:00.00") + // late second: 21:10:01.00
        line("2026-Dec-07 21:10:01.12") + line("2026-Dec-07 21:09:58.00") + line("2026-Dec-07 21:09:58.12");
    const Recording rec = read(text).recording;
    ASSERT_EQ(rec.runs.size(), 3u);
    EXPECT_EQ(std::tie(rec.runs[0].end, rec.runs[1].end), std::make_tuple(2u, 6u));
    EXPECT_NEAR(rec.seconds[4], 21 * 3600 + 10 * 60 + 1.0, 1e-9);
}

TEST(RecordReader, SpreadsReadingsThatShareAStampAtTheUnitsRate) {
    qelsim::SimulatedRun run;
    run.seconds = 60.0;
    run.burst = 1.0; // eight readings per stamp
    run.start = {2026, 12, 7, 21, 0, 0, 0};
    std::string text;
    qelsim::appendSimulatedRun(text, run);
    const Recording rec = read(text).recording;
    EXPECT_DOUBLE_EQ(rec.readingRate, 8.0);
    ASSERT_EQ(rec.size(), 480u);
    // The last burst is short; every full one lies 1/8 s apart.
    for (std::size_t i = 2; i < 472; ++i)
        ASSERT_NEAR(rec.seconds[i] - rec.seconds[i - 1], 0.125, 1e-9) << i;
}

TEST(RecordReader, ReadsMonthNamesOfOtherLocales) {
    const std::string text = "7E:126: 2026-Mär-07 21:14:07.42  TE:    0.125 None None\r\n"
                             "7E:126: 2026-déc.-07 21:14:07.42  TE:    0.125 None None\r\n"
                             "7E:126: 2026-OKT-07 21:14:07.42  TE:    0.125 None None\r\n";
    ReadOptions options;
    options.monthNames = knownLocaleMonthNames();
    const ReadResult r = readRecordText(text, options);
    EXPECT_EQ(r.recording.size(), 3u);
    EXPECT_EQ(r.recording.badLineCount, 0u);
}

TEST(RecordReader, NamesTheFileWhenItCannotBeRead) {
    const testsupport::TempDir dir;
    const std::string empty = dir.file("empty.txt"), junk = dir.file("junk.txt");
    std::ofstream(empty).close();
    std::ofstream(junk) << "hello\nworld\n";
    const std::string missing = dir.file("missing.txt");
    for (const auto& [path, words] :
         {std::pair{empty, "is empty"}, std::pair{junk, "no readable record line"},
          std::pair{missing, "Cannot open"}, std::pair{dir.path.string(), "is a folder"}}) {
        const ReadResult r = readRecordFile(path);
        EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(words), std::string::npos) << r.error;
    }
}
