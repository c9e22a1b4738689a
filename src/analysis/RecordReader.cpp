// Block-wise reading of record files and the reconstruction of each reading's time from its stamp.
#include "analysis/RecordReader.h"

#include "analysis/RecordBuilder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace analysis {

std::string noReadingsMessage(const Recording& rec, std::string_view name) {
    std::string msg = std::string(name);
    if (rec.lineCount == 0)
        return msg + " is empty: it holds no record lines. Choose a record file written by the recorder.";
    msg += " holds no readable record line (" + std::to_string(rec.lineCount) + " lines";
    if (!rec.badLines.empty())
        msg +=
            "; line " + std::to_string(rec.badLines.front().lineNumber) + ": " + rec.badLines.front().reason;
    return msg + "). Choose a record file written by the recorder.";
}

ReadResult readRecordText(std::string_view text, const ReadOptions& options, std::string_view name) {
    RecordBuilder builder(options);
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        builder.addLine(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    }
    ReadResult result;
    result.recording = builder.finish();
    if (result.recording.size() == 0)
        result.error = noReadingsMessage(result.recording, name);
    return result;
}

ReadResult readRecordFile(const std::string& path, const ReadOptions& options, const Progress& progress) {
    ReadResult result;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        result.error = "Cannot open " + path + ": " + std::strerror(errno) + ".";
        return result;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        result.error = "Cannot read " + path + ": it is a folder, not a record file.";
        return result;
    }
    const auto size = std::filesystem::is_regular_file(path, ec) ? std::filesystem::file_size(path, ec) : 0;
    const long fileSize = ec ? 0 : static_cast<long>(size);

    RecordBuilder builder(options);
    if (fileSize > 0)
        builder.reserve(static_cast<std::size_t>(fileSize) / 48 + 16); // record lines are 50 to 80 bytes

    // One block buffer; a line cut by the block's end moves to its front.
    constexpr std::size_t kBlock = 1 << 20;
    std::vector<char> buffer(kBlock + 4096);
    std::size_t held = 0;
    std::uint64_t done = 0;
    for (;;) {
        if (held == buffer.size())
            buffer.resize(buffer.size() * 2); // a line longer than the buffer
        const std::size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, file.get());
        if (got == 0) {
            if (std::ferror(file.get())) {
                result.error = "Cannot read " + path + ": " + std::strerror(errno) + ".";
                return result;
            }
            break;
        }
        done += got;
        const std::size_t filled = held + got;
        const std::size_t lineStart =
            forEachWholeLine({buffer.data(), filled}, [&](std::string_view line) { builder.addLine(line); });
        held = filled - lineStart;
        std::memmove(buffer.data(), buffer.data() + lineStart, held);
        if (progress && fileSize > 0 &&
            !progress(static_cast<double>(done) / static_cast<double>(fileSize))) {
            result.cancelled = true;
            result.error = "Reading " + path + " was cancelled.";
            return result;
        }
    }
    if (held > 0)
        builder.addLine({buffer.data(), held});
    result.recording = builder.finish();
    if (result.recording.size() == 0)
        result.error = noReadingsMessage(result.recording, path);
    return result;
}

} // namespace analysis
