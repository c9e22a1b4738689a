// The writer thread in front of the record file: the receive path queues each record line and goes on at
// once; a thread of its own writes the lines in order, and syncs the file to the disk at most once a
// second. A slow or stuck medium (a USB stick under write-back throttling, a network share) then delays
// the file, never the window. Used by app::RecordingRun; plain C++ so a test can plug in a slow sink.
#pragma once

#include "acquisition/RecordSink.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace acquisition {

class RecordWriter : public RecordSink {
public:
    // Lines the queue holds before new ones are lost: more than 60 s at 960 readings/s (all a 9600-baud
    // line carries), about 6 MB of record lines.
    static constexpr std::size_t kCapacityLines = 64 * 1024;
    // The file is synced to the disk at most this often, and a written line waits at most about this long
    // for it: what a power cut can lose.
    static constexpr std::chrono::milliseconds kSyncInterval{1000};
    // After writing, the writer thread lets lines gather this long before it writes again: one wake per
    // interval however fast lines come, and a line reaches the operating system within about this time.
    // With nothing queued it sleeps until a line comes or a sync is due.
    static constexpr std::chrono::milliseconds kBatchInterval{200};

    // reportReady is called on the writer thread when a report starts waiting in takeReports() (again only
    // after they were taken); it must only hand over, e.g. post an event to the owner's thread.
    explicit RecordWriter(std::function<void()> reportReady = {}, std::size_t capacityLines = kCapacityLines);
    // Writes every queued line, syncs and closes the open sink, then ends the thread. Blocks until done.
    ~RecordWriter() override;
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // The calls below come from one thread, the owner's (the UI thread); none waits for the disk.

    // Lines written from now on go to sink, which the writer thread then owns. A sink still open is closed
    // first, after its queued lines. name is the file the operator is told about ("Could not ...").
    void open(std::unique_ptr<RecordSink> sink, std::string name);
    // The open sink is synced and closed on the writer thread after its queued lines are written.
    void close();
    bool isOpen() const { return m_open; }

    // Queues line (CR LF is added by the sink). written is false when no sink is open or the queue is
    // full; a full queue is reported once, and the first line queued after it reports how many were lost.
    // What the sink reports arrives later through takeReports().
    WriteResult writeLine(std::string_view line) override;

    // The sink's reports (write failures, failed syncs), oldest first; empties the list.
    std::vector<std::string> takeReports();

    // Blocks until every queued line is written and every closed sink closed. For tests and benchmarks.
    void waitUntilIdle();
    // Lines queued and not yet handed to the sink.
    std::size_t queuedLines() const;

private:
    struct Item {
        std::string line;
        std::unique_ptr<RecordSink> sink; // with openSink: the sink to write to from here on
        bool openSink = false;
        bool closeSink = false;
    };
    using Clock = std::chrono::steady_clock;

    void push(Item item);
    void run();
    void handle(Item& item);
    void syncSink();
    void closeSink();
    void report(std::string text);

    std::function<void()> m_reportReady;
    const std::size_t m_capacity;

    // Owner's side only.
    bool m_open = false;
    std::string m_name;
    bool m_dropping = false; // the queue was full at the last line
    std::size_t m_dropped = 0;

    // Shared, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // the writer thread: work or stop
    std::condition_variable m_idle; // waitUntilIdle
    std::deque<Item> m_queue;
    std::size_t m_queuedLines = 0;
    bool m_busy = false;     // the writer thread works on items taken from the queue
    bool m_sleeping = false; // the writer thread waits for a line: the next line wakes it
    bool m_stopping = false;
    std::vector<std::string> m_reports;

    // Writer thread only.
    std::unique_ptr<RecordSink> m_sink;
    bool m_unsynced = false;    // lines written since the last sync
    bool m_syncFailing = false; // the last sync failed (reported once)
    Clock::time_point m_lastSync;

    std::thread m_thread; // last: starts when everything above exists
};

} // namespace acquisition
