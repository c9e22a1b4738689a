// A stand-in record sink for the writer-thread tests: notes every call in a shared journal and can stop in
// its first write the way a stuck medium does.
#pragma once

#include "acquisition/RecordSink.h"

#include <functional>
#include <mutex>
#include <string>
#include <utility>
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

class JournalSink final : public acquisition::RecordSink {
public:
    // stuck runs inside the first write, before the line is noted (on the writer thread).
    JournalSink(std::string name, Journal& journal, std::function<void()> stuck = {})
        : m_name(std::move(name))
        , m_journal(journal)
        , m_stuck(std::move(stuck)) {}
    ~JournalSink() override { m_journal.note(m_name + ":closed"); }

    WriteResult writeLine(std::string_view line) override {
        if (auto stuck = std::exchange(m_stuck, {}))
            stuck();
        m_journal.note(m_name + ":" + std::string(line));
        return {true, {}};
    }
    std::string sync() override {
        m_journal.note(m_name + ":sync");
        return {};
    }

private:
    std::string m_name;
    Journal& m_journal;
    std::function<void()> m_stuck;
};

} // namespace testsinks
