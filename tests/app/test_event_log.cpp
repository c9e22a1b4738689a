// The event log file: emptied at every start, CR LF lines, each line on disk as soon as it is written. (A
// failed write told to the operator: tst_form1.)
#include "app/EventLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class EventLogTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    const std::string path = dir.file(app::kEventLogName);
    common::ManualClock clock{{2013, 1, 15, 21, 4, 17, 38}};
    common::TimeStampFormatter formatter;
};

TEST_F(EventLogTest, OpeningEmptiesAnEarlierLogAndLinesAreStampedEndedByCrLfAndOnDiskAtOnce) {
    app::EventLog::open(path, clock, formatter).log->write(" earlier run");
    auto opened = app::EventLog::open(path, clock, formatter);
    ASSERT_TRUE(opened.log) << opened.error;
    ASSERT_TRUE(opened.log->write(app::logmsg::kStartup));
    clock.set({2013, 1, 15, 21, 4, 18, 0});
    ASSERT_TRUE(opened.log->write(app::logmsg::kChartInitialized));
    // Read while the log is still open: nothing may wait in a buffer.
    EXPECT_EQ(testsupport::fileBytes(path), "2013-Jan-15 21:04:17.38 QEL Log File Startup\r\n"
                                            "2013-Jan-15 21:04:18.00 Chart Initialized\r\n");
}

TEST_F(EventLogTest, UncreatableLogGivesTheSystemsReason) {
    // A directory in the log's place cannot be opened as a file, even by root.
    fs::create_directories(path);
    const auto opened = app::EventLog::open(path, clock, formatter);
    EXPECT_TRUE(!opened.log && opened.error == "Is a directory") << opened.error;
    EXPECT_EQ(app::EventLog::open(dir.file("no-such-dir/QEL_TE_Recorder_log.txt"), clock, formatter).error,
              "No such file or directory");
}

} // namespace
