// Reading and writing "QEL_TE_Recorder.ini": the byte layout, and the replace-by-rename that keeps the old
// file whole when a save fails.
#include "settings/SettingsFile.h"

#include "common/FilePtr.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace settings {

namespace {

// A valid file has at most 21 lines of at most kMaxLineLength bytes plus CR LF. Anything beyond this many
// bytes cannot belong to a valid file, and the parse of this prefix already fails at the right line (the 22nd
// line, or an over-long one, starts and is seen whole within it), so a huge file is never read in full.
constexpr std::size_t kReadLimit = (kSettingEntries + 1) * (kMaxLineLength + 2) + 1;

std::string systemMessage(int error) {
    return std::generic_category().message(error);
}

std::FILE* openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

// Pushes the file's data to the disk before the rename makes it the settings file.
bool syncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Makes the rename itself survive a power cut; the file is already in place, so a failure here changes
// nothing.
void syncDirectory([[maybe_unused]] const std::filesystem::path& path) {
#ifndef _WIN32
    const std::filesystem::path directory = path.has_parent_path() ? path.parent_path() : ".";
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
#endif
}

SettingsFileError writeFailure(std::string reason) {
    return {SettingsFileError::Kind::CannotWrite, 0, reason};
}

} // namespace

int EqualsPosition(std::string_view line) {
    const auto at = line.find('=');
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

SettingsFileError ParseSettingsText(std::string_view bytes, SettingValues& values) {
    std::array<std::string_view, kSettingEntries> lines;
    int count = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t cr = bytes.find('\r', at);
        const std::size_t end = cr == std::string_view::npos ? bytes.size() : cr;
        const std::string_view line = bytes.substr(at, end - at);
        at = end;
        if (at < bytes.size()) {
            ++at; // the CR
            if (at < bytes.size() && bytes[at] == '\n')
                ++at;
        }
        // The length is taken before the line is counted, so an over-long 22nd line reports its length.
        if (line.size() > kMaxLineLength)
            return {SettingsFileError::Kind::LineTooLong, count + 1, {}};
        if (count >= kSettingEntries)
            return {SettingsFileError::Kind::TooManyLines, count + 1, {}};
        lines[static_cast<std::size_t>(count++)] =
            line.substr(static_cast<std::size_t>(EqualsPosition(line)));
    }
    for (int n = 0; n < count; ++n)
        values[static_cast<std::size_t>(n)] = std::string(lines[static_cast<std::size_t>(n)]);
    return {};
}

std::string FormatSettingsText(const SettingValues& values) {
    std::string text;
    for (int n = 0; n < kWrittenLines; ++n) {
        text += kSettingKeys[static_cast<std::size_t>(n)];
        text += values[static_cast<std::size_t>(n)];
        text += "\r\n";
    }
    return text;
}

SettingsFileError ReadSettingsFile(const std::filesystem::path& path, SettingValues& values) {
    errno = 0;
    common::FilePtr file(openFile(path, "rb"));
    if (!file) {
        const int error = errno;
        if (error == ENOENT)
            return {SettingsFileError::Kind::NoFile, 0, systemMessage(error)};
        return {SettingsFileError::Kind::CannotOpen, 0, systemMessage(error)};
    }
    std::vector<char> buffer(kReadLimit);
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (std::ferror(file.get()))
        return {SettingsFileError::Kind::CannotRead, 0, systemMessage(errno)};
    return ParseSettingsText(std::string_view(buffer.data(), got), values);
}

std::filesystem::path temporaryFileFor(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    return temporary;
}

SettingsFileError WriteSettingsFile(const std::filesystem::path& path, const SettingValues& values) {
    // A line that could not be read back would shift or lose every later setting at the next load.
    for (int n = 0; n < kWrittenLines; ++n) {
        const std::string& value = values[static_cast<std::size_t>(n)];
        const std::string_view key = kSettingKeys[static_cast<std::size_t>(n)];
        const std::string line =
            "line " + std::to_string(n + 1) + (key.empty() ? "" : " (" + std::string(key) + ")");
        if (value.find('\r') != std::string::npos)
            return writeFailure(line + " would hold a line break");
        if (key.size() + value.size() > kMaxLineLength)
            return writeFailure(line + " would be longer than " + std::to_string(kMaxLineLength) +
                                " characters");
    }

    const std::string text = FormatSettingsText(values);
    const std::filesystem::path temporary = temporaryFileFor(path);

    const std::string temporaryName = "the temporary file " + temporary.filename().string();

    errno = 0;
    common::FilePtr file(openFile(temporary, "wb"));
    if (!file)
        return writeFailure("cannot create " + temporaryName + ": " + systemMessage(errno));

    bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    written = written && std::fflush(file.get()) == 0 && syncToDisk(file.get());
    const int writeError = errno;
    const bool closed = std::fclose(file.release()) == 0;
    const int closeError = errno;
    std::error_code ignored;
    if (!written || !closed) {
        std::filesystem::remove(temporary, ignored);
        return writeFailure("cannot write " + temporaryName + ": " +
                            systemMessage(!written ? writeError : closeError));
    }

    // Keep the old file's permissions: an operator may have restricted them on purpose.
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (!statusError && std::filesystem::is_regular_file(status))
        std::filesystem::permissions(temporary, status.permissions(), ignored);

    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, ignored);
        return writeFailure("cannot replace it with " + temporaryName + ": " + renameError.message());
    }
    syncDirectory(path);
    return {};
}

} // namespace settings
