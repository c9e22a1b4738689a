// The settings file's bytes: what a save writes, how any file reads back, and that a failed save keeps the
// old file whole.
#include "settings/ControlSettings.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace settings;
namespace fs = std::filesystem;

namespace {

const std::string kExampleFile = "[Display]\r\n"
                                 "CommPort= 0\r\n"
                                 "DisplaySamples= 0\r\n"
                                 "QELVersion= 0\r\n"
                                 "RecordToFile= 1\r\n"
                                 "DisplayTabularData= 0\r\n"
                                 "HighSpeedRecord= 0\r\n"
                                 "ConnectToASCOMDriver= 0\r\n"
                                 "OutputFile=QEL_TE_Recorder1.txt\r\n"
                                 "[ASCOM PID]\r\n"
                                 "EnableASCOMPIDControl= 0\r\n"
                                 "ControlRate= 0\r\n"
                                 "PropGain= 0\r\n"
                                 "IntegrGain= 0\r\n"
                                 "DerivGain= 0\r\n"
                                 "GuideRate= 0\r\n";

std::string lines(int count, const char* ending = "\r\n") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + ending;
    return text;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "qel-settings-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

} // namespace

TEST(SettingsFile, FactorySettingsWriteTheExampleFileByteForByte) {
    SettingValues values;
    storeSettings(factorySettings(), values);
    EXPECT_EQ(FormatSettingsText(values), kExampleFile);
}

TEST(SettingsFile, EqualsPositionIsOneBasedAndZeroWithoutEquals) {
    const std::pair<std::string_view, int> cases[] = {
        {"", 0}, {"[Display]", 0}, {"=", 1}, {"CommPort= 0", 9}, {"OutputFile=a=b.txt", 11}};
    for (const auto& [line, position] : cases)
        EXPECT_EQ(EqualsPosition(line), position) << line;
}

struct ParseCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> entries; // the first entries after a successful parse
};

TEST(SettingsFile, LinesAndValuesAreCutAsTheFormatSays) {
    const ParseCase cases[] = {
        {"example",
         kExampleFile,
         {"[Display]", " 0", " 0", " 0", " 1", " 0", " 0", " 0", "QEL_TE_Recorder1.txt", "[ASCOM PID]", " 0",
          " 0", " 0", " 0", " 0", " 0"}},
        {"equals in the file name", "OutputFile=run=2.txt\r\n", {"run=2.txt"}},
        {"nothing after equals", "CommPort=\r\n", {""}},
        {"empty line keeps its place", "A\r\n\r\nB=1\r\n", {"A", "", "1"}},
        {"lone CR ends a line", "A\rB=2\r", {"A", "2"}},
        {"CR CR LF", "A\r\r\nB", {"A", "", "B"}},
        {"no line end at the end", "A\r\nB=3", {"A", "3"}},
        {"lone LF stays in the line", "[Display]\nCommPort= 0\nGuideRate= 1\n", {" 0\nGuideRate= 1\n"}},
    };
    for (const auto& c : cases) {
        SettingValues values;
        values.fill("old");
        ASSERT_FALSE(ParseSettingsText(c.bytes, values)) << c.name;
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(values[i], i < c.entries.size() ? c.entries[i] : "old") << c.name << ", entry " << i;
    }
}

TEST(SettingsFile, TwentyOneLinesReadAndTheTwentySecondFails) {
    SettingValues values;
    ASSERT_FALSE(ParseSettingsText(lines(21), values));
    EXPECT_EQ(values[20], "20");

    values.fill("old");
    const SettingsFileError error = ParseSettingsText(lines(22), values);
    EXPECT_EQ(error.kind, SettingsFileError::Kind::TooManyLines);
    EXPECT_EQ(error.line, 22);
    EXPECT_EQ(values[0], "old") << "a failed read changes no entry";

    // An empty line after the 21st is a 22nd line.
    EXPECT_EQ(ParseSettingsText(lines(21) + "\r\n", values).line, 22);
}

TEST(SettingsFile, ALineLongerThan32767CharactersFails) {
    SettingValues values;
    EXPECT_FALSE(ParseSettingsText("A\r\nOutputFile=" + std::string(32767 - 11, 'x') + "\r\n", values));
    const SettingsFileError error =
        ParseSettingsText("A\r\nOutputFile=" + std::string(32768 - 11, 'x') + "\r\n", values);
    EXPECT_EQ(error.kind, SettingsFileError::Kind::LineTooLong);
    EXPECT_EQ(error.line, 2);
}

TEST(SettingsFile, ReadingAMissingFileOrADirectoryFailsWithoutChangingEntries) {
    TempDir dir;
    SettingValues values;
    values.fill("old");
    EXPECT_EQ(ReadSettingsFile(dir.path / kSettingsFileName, values).kind, SettingsFileError::Kind::NoFile);
    const SettingsFileError error = ReadSettingsFile(dir.path, values);
    EXPECT_TRUE(error.kind == SettingsFileError::Kind::CannotRead ||
                error.kind == SettingsFileError::Kind::CannotOpen);
    EXPECT_FALSE(error.systemReason.empty());
    EXPECT_EQ(values[0], "old");
}

TEST(SettingsFile, AHugeFileFailsAtItsFirstLongLine) {
    TempDir dir;
    const fs::path file = dir.path / kSettingsFileName;
    writeBytes(file, "[Display]\r\n" + std::string(4 << 20, 'x'));
    SettingValues values;
    const SettingsFileError error = ReadSettingsFile(file, values);
    EXPECT_EQ(error.kind, SettingsFileError::Kind::LineTooLong);
    EXPECT_EQ(error.line, 2);
}

TEST(SettingsFile, WriteReplacesTheWholeFileAndReadsBack) {
    TempDir dir;
    const fs::path file = dir.path / kSettingsFileName;
    writeBytes(file, lines(21)); // an older, longer file
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);

    SettingValues values;
    storeSettings(factorySettings(), values);
    values[20] = "never written";
    ASSERT_FALSE(WriteSettingsFile(file, values));
    EXPECT_EQ(fileBytes(file), kExampleFile);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(temporaryFileFor(file)));

    SettingValues reread;
    ASSERT_FALSE(ReadSettingsFile(file, reread));
    for (int n = 0; n < kWrittenLines; ++n)
        EXPECT_EQ(reread[static_cast<std::size_t>(n)], values[static_cast<std::size_t>(n)]);
    EXPECT_EQ(reread[20], "");
}

TEST(SettingsFile, AFailedWriteLeavesTheOldFileAsItWas) {
    // Tests may run as root, where permissions do not stop a write: block the temporary file instead.
    const std::function<void(const fs::path&)> obstacles[] = {
        [](const fs::path& file) { fs::create_directory(temporaryFileFor(file)); },
        [](const fs::path& file) { fs::create_symlink("/dev/full", temporaryFileFor(file)); }, // disk full
    };
    for (const auto& block : obstacles) {
        TempDir dir;
        const fs::path file = dir.path / kSettingsFileName;
        writeBytes(file, kExampleFile);
        block(file);

        SettingValues values;
        storeSettings(factorySettings(), values);
        values[1] = " 7";
        const SettingsFileError error = WriteSettingsFile(file, values);
        EXPECT_EQ(error.kind, SettingsFileError::Kind::CannotWrite);
        EXPECT_NE(error.systemReason.find("QEL_TE_Recorder.ini.tmp"), std::string::npos)
            << error.systemReason;
        EXPECT_EQ(fileBytes(file), kExampleFile);
    }
}

TEST(SettingsFile, AValueThatWouldNotReadBackIsNotWritten) {
    TempDir dir;
    const fs::path file = dir.path / kSettingsFileName;
    writeBytes(file, kExampleFile);
    SettingValues values;
    storeSettings(factorySettings(), values);
    for (const std::string& name : {std::string("a\rb.txt"), std::string(32767 - 10, 'x')}) {
        values[kOutputFileEntry] = name;
        const SettingsFileError error = WriteSettingsFile(file, values);
        EXPECT_EQ(error.kind, SettingsFileError::Kind::CannotWrite);
        EXPECT_NE(error.systemReason.find("line 9 (OutputFile=)"), std::string::npos) << error.systemReason;
        EXPECT_EQ(fileBytes(file), kExampleFile);
    }
}
