// The event log file: emptied at every start, CR LF lines, each line on disk as soon as it is written.
#include "app/EventLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("qel-eventlog-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    common::ManualClock clock{{2013, 1, 15, 21, 4, 17, 38}};
    common::TimeStampFormatter formatter;
};

TEST_F(EventLogTest, LinesAreStampedEndedByCrLfAndOnDiskAtOnce) {
    const auto path = (dir / app::kEventLogName).string();
    auto opened = app::EventLog::open(path, clock, formatter);
    ASSERT_TRUE(opened.log) << opened.error;
    ASSERT_TRUE(opened.log->write(app::logmsg::kStartup));
    clock.set({2013, 1, 15, 21, 4, 18, 0});
    ASSERT_TRUE(opened.log->write(app::logmsg::kChartInitialized));
    // Read while the log is still open: nothing may wait in a buffer.
    EXPECT_EQ(slurp(path), "2013-Jan-15 21:04:17.38 QEL Log File Startup\r\n"
                           "2013-Jan-15 21:04:18.00 Chart Initialized\r\n");
}

TEST_F(EventLogTest, OpeningEmptiesTheLogOfAnEarlierRun) {
    const auto path = (dir / app::kEventLogName).string();
    {
        auto first = app::EventLog::open(path, clock, formatter);
        first.log->write(" earlier run");
    }
    auto second = app::EventLog::open(path, clock, formatter);
    second.log->write(app::logmsg::kStartup);
    EXPECT_EQ(slurp(path), "2013-Jan-15 21:04:17.38 QEL Log File Startup\r\n");
}

TEST_F(EventLogTest, UncreatableLogGivesTheSystemsReason) {
    // A directory in the log's place cannot be opened as a file, even by root.
    fs::create_directories(dir / app::kEventLogName);
    auto opened = app::EventLog::open((dir / app::kEventLogName).string(), clock, formatter);
    EXPECT_FALSE(opened.log);
    EXPECT_EQ(opened.error, "Is a directory");
    auto missingDir =
        app::EventLog::open((dir / "no-such-dir" / app::kEventLogName).string(), clock, formatter);
    EXPECT_EQ(missingDir.error, "No such file or directory");
}

TEST_F(EventLogTest, FailedWriteIsReportedNotHidden) {
    auto opened = app::EventLog::open("/dev/full", clock, formatter);
    ASSERT_TRUE(opened.log);
    EXPECT_FALSE(opened.log->write(app::logmsg::kStartup));
    EXPECT_EQ(opened.log->lastError(), "No space left on device");
}

} // namespace
