// The record file: appends across runs, comes back after removal, names the file and the reason when it
// cannot be opened and ends a line broken off by a failed write. (A full disk: test_reading_processor.)
#include "acquisition/RecordFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using acquisition::RecordFile;

class RecordFileTest : public ::testing::Test {
protected:
    std::string contents() const { return testsupport::fileBytes(path); }
    testsupport::TempDir dir;
    std::string path = dir.file("record.txt");
};

TEST_F(RecordFileTest, AppendsWithCrLfAcrossOpensComesBackAfterRemovalAndNamesWhatCannotOpen) {
    {
        auto opened = RecordFile::open(path); // missing: created
        ASSERT_TRUE(opened.file) << opened.error;
        EXPECT_TRUE(opened.file->writeLine("first").written);
        EXPECT_EQ(contents(), "first\r\n"); // readable before close: nothing waits in a buffer
    }
    auto again = RecordFile::open(path); // existing: extended
    ASSERT_TRUE(again.file);
    const auto second = again.file->writeLine("second");
    EXPECT_TRUE(second.written && second.report.empty());
    EXPECT_EQ(contents(), "first\r\nsecond\r\n");

    ASSERT_EQ(::unlink(path.c_str()), 0);
    const auto after = again.file->writeLine("after");
    EXPECT_TRUE(after.written);
    EXPECT_NE(after.report.find("removed"), std::string::npos) << after.report;
    EXPECT_EQ(contents(), "after\r\n");

    const std::string missingDir = dir.file("no-such-dir/record.txt");
    EXPECT_EQ(RecordFile::open(missingDir).error,
              "Could not open the record file \"" + missingDir + "\": No such file or directory");
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

    EXPECT_TRUE(ok.written && !broken.written);
    EXPECT_NE(broken.report.find("File too large"), std::string::npos) << broken.report;
    EXPECT_TRUE(lost.report.empty() && back.written);
    EXPECT_NE(back.report.find("2 line(s) were lost"), std::string::npos) << back.report;
    EXPECT_EQ(contents(), "0123456789\r\nabcdefgh\r\nback\r\n");
}

} // namespace
