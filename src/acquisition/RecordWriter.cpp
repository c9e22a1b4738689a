// One writer thread, one queue of lines and sink changes in the order the owner made them: lines of a file
// closed by Stop are written before the lines of the file the next Start opens.
#include "acquisition/RecordWriter.h"

#include <algorithm>
#include <utility>

namespace acquisition {

RecordWriter::RecordWriter(std::function<void()> reportReady, std::size_t capacityLines)
    : m_reportReady(std::move(reportReady))
    , m_capacity(capacityLines)
    , m_thread([this] { run(); }) {}

RecordWriter::~RecordWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void RecordWriter::open(std::unique_ptr<RecordSink> sink, std::string name) {
    Item item;
    item.sink = std::move(sink);
    item.openSink = true;
    push(std::move(item));
    m_open = true;
    m_name = std::move(name);
    m_dropping = false;
    m_dropped = 0;
}

void RecordWriter::close() {
    if (!m_open)
        return;
    m_open = false;
    Item item;
    item.closeSink = true;
    push(std::move(item));
}

RecordSink::WriteResult RecordWriter::writeLine(std::string_view line) {
    WriteResult result;
    if (!m_open)
        return result;
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_queuedLines >= m_capacity) {
            ++m_dropped;
            if (!m_dropping) {
                m_dropping = true;
                result.report = "Writing to the record file \"" + m_name +
                                "\" has fallen more than a minute behind: the disk takes too long or does "
                                "not answer. Recording goes on; lines are lost until it catches up.";
            }
            return result;
        }
        Item item;
        item.line.assign(line);
        m_queue.push_back(std::move(item));
        ++m_queuedLines;
        // Only a sleeping writer is woken; one that has just written looks again after kBatchInterval.
        wake = std::exchange(m_sleeping, false);
    }
    if (wake)
        m_wake.notify_one();
    result.written = true;
    if (m_dropping) {
        m_dropping = false;
        result.report = "Writing to the record file \"" + m_name + "\" has caught up; " +
                        std::to_string(m_dropped) + " line(s) were lost.";
        m_dropped = 0;
    }
    return result;
}

std::vector<std::string> RecordWriter::takeReports() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_reports, {});
}

void RecordWriter::waitUntilIdle() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

std::size_t RecordWriter::queuedLines() const {
    std::lock_guard lock(m_mutex);
    return m_queuedLines;
}

void RecordWriter::push(Item item) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(item));
    }
    m_wake.notify_one();
}

void RecordWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_queue.empty()) {
            std::deque<Item> batch;
            batch.swap(m_queue);
            m_queuedLines = 0; // the queue has room again for a full capacity
            m_busy = true;
            lock.unlock();
            for (Item& item : batch)
                handle(item);
            batch.clear();
            lock.lock();
            m_busy = false;
            if (m_queue.empty())
                m_idle.notify_all();
            // Let lines gather; only the destructor cuts the interval short.
            if (!m_stopping)
                m_wake.wait_for(lock, kBatchInterval, [this] { return m_stopping; });
            continue;
        }
        m_idle.notify_all();
        if (m_stopping)
            break;
        const auto work = [this] {
            return !m_queue.empty() || m_stopping;
        };
        m_sleeping = true;
        if (m_sink && m_unsynced) {
            if (!m_wake.wait_until(lock, m_lastSync + kSyncInterval, work)) {
                // Nothing more came before the sync was due: put what was written on the disk now.
                m_sleeping = false;
                m_busy = true;
                lock.unlock();
                syncSink();
                lock.lock();
                m_busy = false;
            }
        } else {
            m_wake.wait(lock, work);
        }
        m_sleeping = false;
    }
    lock.unlock();
    closeSink();
}

void RecordWriter::handle(Item& item) {
    if (item.openSink || item.closeSink) {
        closeSink();
        if (item.openSink) {
            m_sink = std::move(item.sink);
            m_lastSync = Clock::now();
            m_syncFailing = false;
        }
        return;
    }
    if (!m_sink)
        return;
    WriteResult result = m_sink->writeLine(item.line);
    if (result.written)
        m_unsynced = true;
    if (!result.report.empty())
        report(std::move(result.report));
    if (m_unsynced && Clock::now() - m_lastSync >= kSyncInterval)
        syncSink();
}

void RecordWriter::syncSink() {
    m_lastSync = Clock::now();
    if (!m_sink || !m_unsynced)
        return;
    m_unsynced = false;
    std::string failure = m_sink->sync();
    if (failure.empty()) {
        m_syncFailing = false;
    } else if (!m_syncFailing) {
        m_syncFailing = true;
        report(std::move(failure) + ". Recording goes on; the lines may be lost if the power fails.");
    }
}

void RecordWriter::closeSink() {
    if (!m_sink)
        return;
    syncSink();
    m_sink.reset();
}

void RecordWriter::report(std::string text) {
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        first = m_reports.empty();
        m_reports.push_back(std::move(text));
    }
    if (first && m_reportReady)
        m_reportReady();
}

} // namespace acquisition
