// The settings file "QEL_TE_Recorder.ini": 16 positional key=value lines, read into and written from the
// 21-entry table settingValues. Plain C++; SettingsBinder (Load/Save Settings) is its only user.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

inline constexpr std::string_view kSettingsFileName = "QEL_TE_Recorder.ini";

// Entry n holds the value part of line n (from 0) of the file as last read, or what the next write stores.
// The program fills and uses entries 0 to 15; 16 to 20 only ever receive values from a longer file.
inline constexpr int kSettingEntries = 21;
inline constexpr int kWrittenLines = 16;
using SettingValues = std::array<std::string, kSettingEntries>;

// A line longer than this fails the read: the format's line length is a 16-bit signed count.
inline constexpr std::size_t kMaxLineLength = 32767;

// The keys written before entries 0 to 15; entries 0 and 9 are the section headings, written whole.
inline constexpr std::array<std::string_view, kWrittenLines> kSettingKeys = {
    "",
    "CommPort=",
    "DisplaySamples=",
    "QELVersion=",
    "RecordToFile=",
    "DisplayTabularData=",
    "HighSpeedRecord=",
    "ConnectToASCOMDriver=",
    "OutputFile=",
    "",
    "EnableASCOMPIDControl=",
    "ControlRate=",
    "PropGain=",
    "IntegrGain=",
    "DerivGain=",
    "GuideRate=",
};

// Why reading or writing the file failed. `line` is the 1-based line of the file, 0 when no line is
// concerned; `systemReason` is the operating system's words for an I/O failure, empty otherwise.
struct SettingsFileError {
    enum class Kind {
        None,
        NoFile,       // the file does not exist
        CannotOpen,   // it exists but cannot be opened for reading
        CannotRead,   // reading it failed part way
        TooManyLines, // a 22nd line
        LineTooLong,  // a line longer than kMaxLineLength
        CannotWrite,  // creating, writing or replacing it failed
    };
    Kind kind = Kind::None;
    int line = 0;
    std::string systemReason;

    explicit operator bool() const { return kind != Kind::None; }
};

// The 1-based position of the first "=" in line, or 0 when it holds none.
int EqualsPosition(std::string_view line);

// Parses the bytes of a settings file into values. Lines end at CR or CR LF (a lone LF stays part of the
// line); the value of a line is everything after its first "=", or the whole line when it has none. On
// success entries 0 to k-1 hold the k lines' values and the entries after them are left as they were; on
// failure no entry changes.
SettingsFileError ParseSettingsText(std::string_view bytes, SettingValues& values);

// The file's bytes for entries 0 to 15: every line ended by CR LF, keys as in kSettingKeys.
std::string FormatSettingsText(const SettingValues& values);

// Reads the file at path into values, as ParseSettingsText does; on failure no entry changes.
SettingsFileError ReadSettingsFile(const std::filesystem::path& path, SettingValues& values);

// Writes entries 0 to 15 to the file at path. The new file is written beside the old one, flushed to the disk
// and renamed over it, so a failed write leaves the previous file as it was.
SettingsFileError WriteSettingsFile(const std::filesystem::path& path, const SettingValues& values);

// The name of the temporary file WriteSettingsFile writes before renaming it to path.
std::filesystem::path temporaryFileFor(const std::filesystem::path& path);

} // namespace settings
