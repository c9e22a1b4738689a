// The writer thread: lines in order across Stop and Start while the medium is stuck, each file synced
// before it is closed, a full queue reported once with the count of lost lines, sink failures handed on, a
// quiet file synced.
#include "acquisition/RecordFile.h"
#include "acquisition/RecordSink.h"
#include "acquisition/RecordWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using acquisition::RecordWriter;

// What the sinks did, in the order they did it ("A:line 1", "A:sync", "A:closed"), noted on the writer
// thread.
struct Journal {
    mutable std::mutex mutex;
    std::vector<std::string> list;
    void note(std::string entry) {
        std::lock_guard lock(mutex);
        list.push_back(std::move(entry));
    }
    std::vector<std::string> entries() const {
        std::lock_guard lock(mutex);
        return list;
    }
};

// A stand-in sink: notes every call in the journal; `stuck` runs inside its first write, before the line is
// noted, the way a stuck medium holds it.
struct JournalSink final : acquisition::RecordSink {
    std::string name;
    Journal& journal;
    std::function<void()> stuck;
    JournalSink(std::string n, Journal& j, std::function<void()> s = {})
        : name(std::move(n))
        , journal(j)
        , stuck(std::move(s)) {}
    ~JournalSink() override { journal.note(name + ":closed"); }
    WriteResult writeLine(std::string_view line) override {
        if (auto held = std::exchange(stuck, {}))
            held();
        journal.note(name + ":" + std::string(line));
        return {true, {}};
    }
    std::string sync() override {
        journal.note(name + ":sync");
        return {};
    }
};

// Holds the sink's first write until released; entered tells that the writer thread is inside it.
struct Gate {
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    std::function<void()> hold() {
        return [this] {
            entered.set_value();
            released.wait();
        };
    }
};

// The journal without its syncs, and whether every sink synced right before it was closed.
std::vector<std::string> withoutSyncs(const std::vector<std::string>& journal, bool& syncedBeforeClose) {
    std::vector<std::string> rest;
    syncedBeforeClose = true;
    for (std::size_t i = 0; i < journal.size(); ++i) {
        const std::string& e = journal[i];
        if (e.ends_with(":sync"))
            continue;
        if (e.ends_with(":closed") && (i == 0 || journal[i - 1] != e.substr(0, e.find(':')) + ":sync"))
            syncedBeforeClose = false;
        rest.push_back(e);
    }
    return rest;
}

// No call waits for the medium (the window's thread makes them): the first write holds the sink until the
// test has written, stopped and started again; a call that waited would hang here.
TEST(RecordWriterTest, LinesOfAStoppedRunAreWrittenAndSyncedBeforeTheNextRunsFile) {
    Journal journal;
    Gate gate;
    {
        RecordWriter writer;
        writer.open(std::make_unique<JournalSink>("A", journal, gate.hold()), "a.txt"); // the medium is stuck
        for (const char* line : {"1", "2", "3"})
            EXPECT_TRUE(writer.writeLine(line).written);
        writer.close(); // Stop returns while the lines wait
        EXPECT_FALSE(writer.isOpen());
        EXPECT_FALSE(writer.writeLine("between runs").written);
        writer.open(std::make_unique<JournalSink>("B", journal), "b.txt");
        for (const char* line : {"4", "5"})
            EXPECT_TRUE(writer.writeLine(line).written);
        gate.entered.get_future().wait();
        EXPECT_TRUE(journal.entries().empty());
        gate.release.set_value();
    } // the destructor writes what is queued
    bool synced = false;
    EXPECT_EQ(withoutSyncs(journal.entries(), synced),
              (std::vector<std::string>{"A:1", "A:2", "A:3", "A:closed", "B:4", "B:5", "B:closed"}));
    EXPECT_TRUE(synced);
}

TEST(RecordWriterTest, FullQueueLosesLinesReportsOnceAndCountsThemWhenItCatchesUp) {
    Journal journal;
    Gate gate;
    RecordWriter writer({}, 2);
    writer.open(std::make_unique<JournalSink>("A", journal, gate.hold()), "run.txt");
    EXPECT_TRUE(writer.writeLine("0").written);
    gate.entered.get_future().wait(); // "0" is in the sink, the queue is empty
    EXPECT_TRUE(writer.writeLine("1").written);
    EXPECT_TRUE(writer.writeLine("2").written);
    const auto full = writer.writeLine("3");
    EXPECT_FALSE(full.written);
    EXPECT_NE(full.report.find("\"run.txt\" has fallen more than a minute behind"), std::string::npos)
        << full.report;
    const auto stillFull = writer.writeLine("4");
    EXPECT_TRUE(!stillFull.written && stillFull.report.empty()) << stillFull.report;
    gate.release.set_value();
    writer.waitUntilIdle();
    const auto back = writer.writeLine("5");
    EXPECT_TRUE(back.written);
    EXPECT_EQ(back.report, "Writing to the record file \"run.txt\" has caught up; 2 line(s) were lost.");
    writer.waitUntilIdle();
    bool synced = false;
    EXPECT_EQ(withoutSyncs(journal.entries(), synced),
              (std::vector<std::string>{"A:0", "A:1", "A:2", "A:5"}));
}

TEST(RecordWriterTest, AQuietFileIsSyncedWithoutBeingClosed) {
    // The power-cut bound: the writer sleeps while nothing comes, but not past the sync a line is owed.
    Journal journal;
    RecordWriter writer;
    writer.open(std::make_unique<JournalSink>("A", journal), "a.txt");
    EXPECT_TRUE(writer.writeLine("1").written);
    const std::vector<std::string> expected{"A:1", "A:sync"};
    const auto giveUp = std::chrono::steady_clock::now() + 20 * RecordWriter::kSyncInterval;
    while (journal.entries() != expected && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(journal.entries(), expected);
}

TEST(RecordWriterTest, SinkFailuresAreReportedOnceAndAnnouncedOnce) {
    std::atomic<int> announced = 0;
    RecordWriter writer([&] { ++announced; });
    auto full = acquisition::RecordFile::open("/dev/full");
    ASSERT_TRUE(full.file) << full.error;
    writer.open(std::move(full.file), "/dev/full");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(writer.writeLine("lost").written); // queued; the failure comes later
    writer.waitUntilIdle();
    const std::vector<std::string> reports = writer.takeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("\"/dev/full\": No space left on device"), std::string::npos) << reports[0];
    EXPECT_EQ(announced, 1);
    EXPECT_TRUE(writer.takeReports().empty());
}

} // namespace
