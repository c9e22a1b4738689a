// Finding the system-information tool: the registry lookup with its fallback over a fake registry, the PATH
// search, and the start that reports "unavailable" instead of failing.
#include "about/SysInfo.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

using namespace about;

namespace {

// Keys below HKEY_LOCAL_MACHINE, each with named values of a type and raw bytes; a key opens only with the
// access the lookup must ask for.
class FakeRegistry : public RegistryReader {
public:
    using Values = std::map<std::string, std::pair<std::uint32_t, std::string>>;
    std::map<std::string, Values> keys;
    std::string refused; // a key that exists but does not open, as for lack of rights
    int openCount = 0;

    bool openKey(std::uint32_t root, const std::string& keyName, std::uint32_t access, Key& key) override {
        if (root != kHKeyLocalMachine || access != 0x2003F || !keys.count(keyName) || keyName == refused)
            return false;
        key = reinterpret_cast<Key>(&keys[keyName]);
        return ++openCount;
    }
    bool queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* buffer,
                    std::uint32_t& size) override {
        const Values& values = *reinterpret_cast<const Values*>(key);
        const auto value = values.find(valueName);
        if (value == values.end() || value->second.second.size() > size)
            return false;
        type = value->second.first;
        size = static_cast<std::uint32_t>(value->second.second.copy(reinterpret_cast<char*>(buffer), size));
        return true;
    }
    void closeKey(Key) override { --openCount; }
};

const std::string kTools = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";

} // namespace

TEST(GetKeyValue, ReadsStringsAndNumbersAndClosesEveryKey) {
    const struct {
        const char* storedAs; // the value's name, nullptr for no key at all
        std::uint32_t type;
        std::string bytes;
        bool read;
        std::string text;
    } cases[] = {
        {"PATH", kRegSz, std::string("C:\\Tools\0", 9), true, "C:\\Tools"}, // one trailing zero dropped
        {"PATH", kRegSz, "C:\\Tools", true, "C:\\Tools"},
        {"PATH", kRegDword, std::string("\x2a\0\0\x81", 4), true, "2164260906"},
        {"PATH", 3, "\x01\x02", true, "as passed"},
        {"PATH", kRegSz, std::string(1024, 'x'), true, std::string(1024, 'x')},
        {"PATH", kRegSz, std::string(1025, 'x'), false, ""},
        {"OTHER", kRegSz, "x", false, ""},
        {nullptr, kRegSz, "x", false, ""},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        if (c.storedAs)
            registry.keys[kTools][c.storedAs] = {c.type, c.bytes};
        std::string text = "as passed";
        EXPECT_EQ(GetKeyValue(registry, kHKeyLocalMachine, kTools, "PATH", text), c.read) << c.bytes;
        EXPECT_EQ(text, c.text) << c.bytes;
        EXPECT_EQ(registry.openCount, 0) << c.bytes;
    }
}

TEST(WindowsSysInfoTool, TakesThePathKeyThenTheLocationKeyWithAnExistingToolElseIsUnavailable) {
    const struct {
        bool pathKey, pathKeyRefused, locationKey, toolExists;
        std::optional<std::string> tool;
    } cases[] = {
        {true, false, true, false, "C:\\Program Files\\msinfo32.exe"}, // taken unchecked
        {false, false, true, true, "C:\\Common\\MSINFO\\MSINFO32.EXE"},
        {true, true, true, true, "C:\\Common\\MSINFO\\MSINFO32.EXE"},
        {false, false, true, false, std::nullopt},
        {false, false, false, true, std::nullopt},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        if (c.pathKey)
            registry.keys[kTools]["PATH"] = {kRegSz, std::string("C:\\Program Files\\msinfo32.exe") + '\0'};
        if (c.pathKeyRefused)
            registry.refused = kTools;
        if (c.locationKey)
            registry.keys[kLocation]["MSINFO"] = {kRegSz, "C:\\Common\\MSINFO"};
        const auto tool = windowsSysInfoTool(registry, [&](const std::string&) { return c.toolExists; });
        EXPECT_EQ(tool, c.tool) << c.pathKey << c.pathKeyRefused << c.locationKey << c.toolExists;
        EXPECT_EQ(StartSysInfo(tool, [](const std::string&) { return true; }), c.tool.has_value());
    }
}

TEST(PathSysInfoTool, TheFirstKnownProgramWinsOverPathOrderAndEmptyEntriesAreSkipped) {
    const std::set<std::string> installed = {"/usr/bin/gnome-system-monitor", "/opt/kde/bin/kinfocenter",
                                             "hardinfo"};
    const auto isExecutable = [&](const std::string& path) {
        EXPECT_NE(path.find("bin/"), std::string::npos) << path << ": an empty PATH entry is no directory";
        return installed.count(path) > 0;
    };
    EXPECT_EQ(pathSysInfoTool("/usr/bin::/opt/kde/bin/", isExecutable), "/opt/kde/bin/kinfocenter");
    EXPECT_EQ(pathSysInfoTool("/bin", isExecutable), std::nullopt);
    EXPECT_EQ(pathSysInfoTool("", isExecutable), std::nullopt);
}

TEST(StartSysInfo, AStartThatThrowsMeansUnavailable) {
    EXPECT_FALSE(
        StartSysInfo(std::string("/x"), [](const std::string&) -> bool { throw std::runtime_error("no"); }));
}
