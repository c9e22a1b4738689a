// The settings file's bytes: what a save writes, how any file reads back, and that a failed save keeps the
// old file whole.
#include "settings/ControlSettings.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace settings;
namespace fs = std::filesystem;
using Kind = SettingsFileError::Kind;

namespace {

const std::string kExampleFile =
    "[Display]\r\nCommPort= 0\r\nDisplaySamples= 0\r\nQELVersion= 0\r\nRecordToFile= 1\r\n"
    "DisplayTabularData= 0\r\nHighSpeedRecord= 0\r\nConnectToASCOMDriver= 0\r\n"
    "OutputFile=QEL_TE_Recorder1.txt\r\n[ASCOM PID]\r\nEnableASCOMPIDControl= 0\r\n"
    "ControlRate= 0\r\nPropGain= 0\r\nIntegrGain= 0\r\nDerivGain= 0\r\nGuideRate= 0\r\n";

std::string lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    return text;
}

// A fresh directory holding the settings file with the given bytes.
struct SettingsDir : testsupport::TempDir {
    explicit SettingsDir(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
    std::string bytes() const { return testsupport::fileBytes(file); }
    fs::path file = path / kSettingsFileName;
};

} // namespace

TEST(SettingsFile, LinesAndValuesAreCutAtCrOrCrLfAndTheFirstEquals) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"OutputFile=run=2.txt\r\n", {"run=2.txt"}},
        {"A\r\n\r\nB=\r\n", {"A", "", ""}},
        {"A\rB=2\r", {"A", "2"}},
        {"A\r\r\nB", {"A", "", "B"}},
        {"[Display]\nCommPort= 0\nGuideRate= 1\n", {" 0\nGuideRate= 1\n"}}, // LF alone ends no line
    };
    for (const auto& [bytes, entries] : cases) {
        SettingValues values;
        values.fill("old");
        ASSERT_FALSE(ParseSettingsText(bytes, values)) << bytes;
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(values[i], i < entries.size() ? entries[i] : "old") << bytes << ", entry " << i;
    }
}

TEST(SettingsFile, TwentyOneLinesOf32767CharactersReadAndAnythingMoreFails) {
    SettingValues values;
    ASSERT_FALSE(ParseSettingsText(lines(21), values));
    EXPECT_EQ(values[20], "20");
    EXPECT_FALSE(ParseSettingsText("A\r\nOutputFile=" + std::string(32767 - 11, 'x'), values));

    values.fill("old");
    const std::pair<std::string, SettingsFileError> failures[] = {
        {lines(22), {Kind::TooManyLines, 22, {}}},
        {lines(21) + "\r\n", {Kind::TooManyLines, 22, {}}},
        {"A\r\nOutputFile=" + std::string(32768 - 11, 'x'), {Kind::LineTooLong, 2, {}}},
    };
    for (const auto& [bytes, error] : failures) {
        const SettingsFileError found = ParseSettingsText(bytes, values);
        EXPECT_TRUE(found.kind == error.kind && found.line == error.line) << bytes.substr(0, 40);
        EXPECT_EQ(values[0], "old") << "a failed read changes no entry";
    }
}

TEST(SettingsFile, WriteReplacesALongerFileWithTheExampleByteForByte) {
    SettingsDir dir(lines(21));
    fs::permissions(dir.file, fs::perms::owner_read | fs::perms::owner_write);
    SettingValues values;
    storeSettings(factorySettings(), values);
    values[20] = "never written";
    ASSERT_FALSE(WriteSettingsFile(dir.file, values));
    EXPECT_EQ(dir.bytes(), kExampleFile);
    EXPECT_EQ(fs::status(dir.file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(temporaryFileFor(dir.file)));
}

TEST(SettingsFile, AFailedWriteLeavesTheOldFileAsItWas) {
    // Tests may run as root, where permissions do not stop a write: block the temporary file instead. A file
    // name that would not read back as one line 9 is refused before anything is written.
    const struct {
        std::string blockTmp, outputFile, reason;
    } cases[] = {
        {"directory", "run.txt", "QEL_TE_Recorder.ini.tmp"},
        {"/dev/full", "run.txt", "QEL_TE_Recorder.ini.tmp"}, // disk full
        {"", "a\rb.txt", "line 9 (OutputFile=)"},
        {"", std::string(32767 - 10, 'x'), "line 9 (OutputFile=)"},
    };
    for (const auto& c : cases) {
        SettingsDir dir(kExampleFile);
        const fs::path tmp = temporaryFileFor(dir.file);
        if (c.blockTmp == "directory")
            fs::create_directory(tmp);
        else if (!c.blockTmp.empty())
            fs::create_symlink(c.blockTmp, tmp);
        SettingValues values;
        storeSettings(factorySettings(), values);
        values[kOutputFileEntry] = c.outputFile;
        const SettingsFileError error = WriteSettingsFile(dir.file, values);
        EXPECT_EQ(error.kind, Kind::CannotWrite);
        EXPECT_NE(error.systemReason.find(c.reason), std::string::npos) << error.systemReason;
        EXPECT_EQ(dir.bytes(), kExampleFile);
    }
}
