// The record follower on a file written piece by piece, lines cut anywhere: it reads each byte once and ends
// with what reading the finished file gives.
#include "RecordText.h"
#include "analysis/Analysis.h"
#include "analysis/Figures.h"
#include "analysis/RecordFollower.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace analysis;
using testrecords::englishOnly;

namespace {

void append(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

} // namespace

TEST(RecordFollower, EndsWithTheFiguresOfTheFinishedFile) {
    // Two runs (the second after a gap, its bytes arriving in bursts with late seconds), written in pieces of
    // about ten seconds that end anywhere in a line.
    std::string text;
    qelsim::SimulatedRun run;
    run.model.wormPeriod = 240.0;
    run.seconds = 2.5 * 240.0;
    run.start = {2026, 12, 7, 23, 50, 0, 0};
    qelsim::appendSimulatedRun(text, run);
    run.start = {2026, 12, 8, 0, 2, 0, 0};
    run.seed = 2;
    run.burst = 0.25;
    run.lateSecond = true;
    qelsim::appendSimulatedRun(text, run);

    testsupport::TempDir dir;
    const std::string path = dir.file("live.txt");
    append(path, "");
    RecordFollower follower(path, englishOnly());
    EXPECT_TRUE(follower.look().error.empty());
    EXPECT_FALSE(follower.recording().error.empty()); // nothing yet

    std::uint64_t lines = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t piece = std::min<std::size_t>(text.size() - at, 80 * 57 + at % 53);
        append(path, std::string_view(text).substr(at, piece));
        at += piece;
        const RecordFollower::Look look = follower.look();
        ASSERT_TRUE(look.error.empty()) << look.error;
        EXPECT_EQ(look.bytes, piece); // each byte once
        EXPECT_FALSE(look.restarted);
        lines += look.newLines;
        EXPECT_EQ(follower.offset(), at);
    }
    EXPECT_EQ(lines, static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')));

    const ReadResult followed = follower.recording();
    const ReadResult whole = readRecordFile(path, englishOnly());
    ASSERT_TRUE(followed.error.empty()) << followed.error;
    EXPECT_EQ(followed.recording.seconds, whole.recording.seconds);
    EXPECT_EQ(followed.recording.codes, whole.recording.codes);
    ASSERT_EQ(followed.recording.runs.size(), 2u);
    Analysis live = analyzeRecording(followed.recording);
    live.fileName = path;
    const AnalysisResult finished = analyzeFile(path, {}, englishOnly());
    EXPECT_EQ(figureText(figures(live)), figureText(figures(finished.analysis)));
}

TEST(RecordFollower, WaitsForALinesEndAndStartsAgainWhenTheFileShrinks) {
    testsupport::TempDir dir;
    const std::string path = dir.file("live.txt");
    const std::string line = "7E:126: 2026-Dec-07 21:14:07.42  TE:    0.125 None None\r\n";
    append(path, line + line.substr(0, 20));
    RecordFollower follower(path, englishOnly());
    EXPECT_EQ(follower.look().newLines, 1u);
    EXPECT_EQ(follower.recording().recording.size(), 1u);
    append(path, line.substr(20, 30));
    EXPECT_EQ(follower.look().newLines, 0u);
    append(path, line.substr(50));
    EXPECT_EQ(follower.look().newLines, 1u);
    EXPECT_EQ(follower.recording().recording.size(), 2u);
    EXPECT_EQ(follower.recording().recording.badLineCount, 0u);

    // The writer's last words without a line end count once it is done.
    append(path, line.substr(0, line.size() - 2));
    EXPECT_EQ(follower.look().newLines, 0u);
    EXPECT_EQ(follower.look(true).newLines, 1u);
    EXPECT_EQ(follower.recording().recording.size(), 3u);

    std::ofstream(path, std::ios::binary | std::ios::trunc) << line;
    const RecordFollower::Look again = follower.look();
    EXPECT_TRUE(again.restarted);
    EXPECT_EQ(follower.recording().recording.size(), 1u);

    std::filesystem::remove(path);
    const RecordFollower::Look gone = follower.look();
    EXPECT_NE(gone.error.find(path), std::string::npos) << gone.error;
}
