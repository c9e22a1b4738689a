// The follower's look: seek to what was read, read to the end, hand on whole lines.
#include "analysis/RecordFollower.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace analysis {

RecordFollower::RecordFollower(std::string path, ReadOptions options)
    : m_path(std::move(path))
    , m_options(std::move(options))
    , m_builder(std::make_unique<RecordBuilder>(m_options)) {}

RecordFollower::Look RecordFollower::look(bool endOfFile) {
    Look look;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(m_path.c_str(), "rb"), &std::fclose);
    if (!file) {
        look.error = "Cannot open " + m_path + ": " + std::strerror(errno) + ".";
        return look;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        look.error = "Cannot read " + m_path + ": " + std::strerror(errno) + ".";
        return look;
    }
    const long size = std::ftell(file.get());
    if (size >= 0 && static_cast<std::uint64_t>(size) < m_offset) {
        // Emptied or replaced: what was read no longer belongs to it.
        m_builder = std::make_unique<RecordBuilder>(m_options);
        m_offset = 0;
        m_partial.clear();
        look.restarted = true;
    }
    if (std::fseek(file.get(), static_cast<long>(m_offset), SEEK_SET) != 0) {
        look.error = "Cannot read " + m_path + ": " + std::strerror(errno) + ".";
        return look;
    }
    std::vector<char> block(1 << 16);
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        if (got == 0) {
            if (std::ferror(file.get()))
                look.error = "Cannot read " + m_path + ": " + std::strerror(errno) + ".";
            break;
        }
        look.bytes += got;
        m_offset += got;
        std::size_t start = 0;
        for (;;) {
            const void* nl = std::memchr(block.data() + start, '\n', got - start);
            if (!nl)
                break;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(nl) - block.data());
            if (m_partial.empty()) {
                m_builder->addLine({block.data() + start, at - start});
            } else {
                m_partial.append(block.data() + start, at - start);
                m_builder->addLine(m_partial);
                m_partial.clear();
            }
            ++look.newLines;
            start = at + 1;
        }
        m_partial.append(block.data() + start, got - start);
    }
    if (endOfFile && !m_partial.empty() && look.error.empty()) {
        m_builder->addLine(m_partial);
        m_partial.clear();
        ++look.newLines;
    }
    return look;
}

ReadResult RecordFollower::recording() const {
    ReadResult result;
    result.recording = m_builder->recording();
    if (result.recording.size() == 0)
        result.error = noReadingsMessage(result.recording, m_path);
    return result;
}

} // namespace analysis
