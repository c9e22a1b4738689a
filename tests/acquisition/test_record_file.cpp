// The record file: appends across runs, reports a failed write once and keeps trying, survives removal.
#include "acquisition/RecordFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using acquisition::RecordFile;

class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qel-record-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/record.txt";
    }
    void TearDown() override {
        ::unlink(path.c_str());
        ::rmdir(dir.c_str());
    }
    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir, path;
};

TEST_F(RecordFileTest, AppendsLinesWithCrLfAcrossOpens) {
    {
        auto opened = RecordFile::open(path); // missing: created
        ASSERT_TRUE(opened.file) << opened.error;
        EXPECT_TRUE(opened.file->writeLine("first").written);
        // Readable before close: nothing waits in a buffer.
        EXPECT_EQ(contents(), "first\r\n");
    }
    auto again = RecordFile::open(path); // existing: extended
    ASSERT_TRUE(again.file);
    const auto result = again.file->writeLine("second");
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.report.empty());
    EXPECT_EQ(contents(), "first\r\nsecond\r\n");
}

TEST_F(RecordFileTest, OpenFailureNamesTheFileAndTheReason) {
    const std::string missingDir = dir + "/no-such-dir/record.txt";
    const auto opened = RecordFile::open(missingDir);
    EXPECT_FALSE(opened.file);
    EXPECT_NE(opened.error.find(missingDir), std::string::npos) << opened.error;
    EXPECT_NE(opened.error.find("No such file or directory"), std::string::npos) << opened.error;
}

TEST(RecordFile, FullDiskIsReportedOnceAndLaterLinesAreStillTried) {
    auto opened = RecordFile::open("/dev/full");
    ASSERT_TRUE(opened.file) << opened.error;
    const auto first = opened.file->writeLine("7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 None None");
    EXPECT_FALSE(first.written);
    EXPECT_NE(first.report.find("/dev/full"), std::string::npos) << first.report;
    EXPECT_NE(first.report.find("No space left on device"), std::string::npos) << first.report;
    for (int i = 0; i < 3; ++i) {
        const auto later = opened.file->writeLine("next");
        EXPECT_FALSE(later.written);
        EXPECT_TRUE(later.report.empty()) << later.report;
    }
    EXPECT_EQ(opened.file->lostLines(), 4u);
}

TEST_F(RecordFileTest, RemovedFileIsCreatedAgain) {
    auto opened = RecordFile::open(path);
    ASSERT_TRUE(opened.file);
    opened.file->writeLine("before");
    ASSERT_EQ(::unlink(path.c_str()), 0);
    const auto result = opened.file->writeLine("after");
    EXPECT_TRUE(result.written);
    EXPECT_NE(result.report.find("removed"), std::string::npos) << result.report;
    EXPECT_EQ(contents(), "after\r\n");
}

TEST_F(RecordFileTest, LineBrokenOffByAFailedWriteIsEndedWhenWritingWorksAgain) {
    // A file-size limit stands in for a disk that fills up in the middle of a line and is freed later.
    auto opened = RecordFile::open(path);
    ASSERT_TRUE(opened.file);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto ok = opened.file->writeLine("0123456789");     // 12 bytes
    const auto broken = opened.file->writeLine("abcdefghij"); // 8 bytes fit, then the limit
    const auto lost = opened.file->writeLine("lost");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    const auto back = opened.file->writeLine("back");

    EXPECT_TRUE(ok.written);
    EXPECT_FALSE(broken.written);
    EXPECT_NE(broken.report.find("File too large"), std::string::npos) << broken.report;
    EXPECT_TRUE(lost.report.empty());
    EXPECT_TRUE(back.written);
    EXPECT_NE(back.report.find("2 line(s) were lost"), std::string::npos) << back.report;
    EXPECT_EQ(contents(), "0123456789\r\nabcdefgh\r\nback\r\n");
}

} // namespace
