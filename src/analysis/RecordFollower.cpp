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
        const std::size_t rest = forEachWholeLine({block.data(), got}, [&](std::string_view line) {
            if (m_partial.empty()) {
                m_builder->addLine(line);
            } else { // the line the last block cut
                m_partial.append(line);
                m_builder->addLine(m_partial);
                m_partial.clear();
            }
            ++look.newLines;
        });
        m_partial.append(block.data() + rest, got - rest);
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
