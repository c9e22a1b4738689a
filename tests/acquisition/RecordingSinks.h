// Stand-in record sinks for the writer-thread tests: one that notes every call in a shared journal, and
// can hold a write at a gate or sleep in it the way a stuck medium does.
#pragma once

#include "acquisition/RecordSink.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsinks {

// What the sinks did, in the order they did it ("A:line 1", "A:sync", "A:closed").
class Journal {
public:
    void note(std::string entry) {
        std::lock_guard lock(m_mutex);
        m_entries.push_back(std::move(entry));
    }
    std::vector<std::string> entries() const {
        std::lock_guard lock(m_mutex);
        return m_entries;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

// Holds writers inside writeLine until opened: entered() tells that one is waiting there.
class Gate {
public:
    void pass() {
        std::unique_lock lock(m_mutex);
        m_entered = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void waitUntilEntered() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_entered; });
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_entered = false;
    bool m_open = false;
};

class JournalSink final : public acquisition::RecordSink {
public:
    JournalSink(std::string name, Journal& journal)
        : m_name(std::move(name))
        , m_journal(journal) {}
    ~JournalSink() override { m_journal.note(m_name + ":closed"); }

    WriteResult writeLine(std::string_view line) override {
        if (m_gate) {
            m_gate->pass();
            m_gate = nullptr;
        }
        if (m_sleepFirst.count() > 0) {
            std::this_thread::sleep_for(m_sleepFirst);
            m_sleepFirst = {};
        }
        m_journal.note(m_name + ":" + std::string(line));
        return {true, {}};
    }
    std::string sync() override {
        m_journal.note(m_name + ":sync");
        return {};
    }

    // The first write waits at gate until it opens.
    JournalSink& holdFirstWriteAt(Gate& gate) {
        m_gate = &gate;
        return *this;
    }
    // The first write sleeps this long, as on a medium that stops answering for a while.
    JournalSink& sleepInFirstWrite(std::chrono::milliseconds pause) {
        m_sleepFirst = pause;
        return *this;
    }

private:
    std::string m_name;
    Journal& m_journal;
    Gate* m_gate = nullptr;
    std::chrono::milliseconds m_sleepFirst{0};
};

} // namespace testsinks
