// Finding the system-information tool: the registry lookup with its fallback over a fake registry, the PATH
// search, and the start that reports "unavailable" instead of failing.
#include "about/SysInfo.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

using namespace about;

namespace {

class FakeRegistry : public RegistryReader {
public:
    struct Value {
        std::uint32_t type;
        std::vector<unsigned char> bytes;
    };

    void set(const std::string& key, const std::string& name, std::uint32_t type, std::string_view bytes) {
        keys[key][name] = {type, std::vector<unsigned char>(bytes.begin(), bytes.end())};
    }

    bool openKey(std::uint32_t root, const std::string& keyName, std::uint32_t access, Key& key) override {
        accessAsked.insert(access);
        if (root != kHKeyLocalMachine || !keys.count(keyName) || refused.count(keyName))
            return false;
        key = ++lastHandle;
        openKeys[key] = keyName;
        return true;
    }

    bool queryValue(Key key, const std::string& valueName, std::uint32_t& type, unsigned char* buffer,
                    std::uint32_t& size) override {
        const auto& values = keys.at(openKeys.at(key));
        const auto value = values.find(valueName);
        if (value == values.end())
            return false;
        const auto needed = static_cast<std::uint32_t>(value->second.bytes.size());
        if (needed > size) {
            size = needed;
            return false;
        }
        std::copy(value->second.bytes.begin(), value->second.bytes.end(), buffer);
        size = needed;
        type = value->second.type;
        return true;
    }

    void closeKey(Key key) override { openKeys.erase(key); }

    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> refused; // keys that exist but do not open with the access asked for
    std::set<std::uint32_t> accessAsked;
    std::map<Key, std::string> openKeys;
    Key lastHandle = 0;
};

const std::string kTools = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";

} // namespace

TEST(GetKeyValue, ReadsStringsAndNumbersAndClosesEveryKey) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        bool read;
        std::string text;
    };
    const Case cases[] = {
        {"string with its zero", kRegSz, std::string("C:\\Tools\0", 9), true, "C:\\Tools"},
        {"string without zero", kRegSz, "C:\\Tools", true, "C:\\Tools"},
        {"empty string", kRegSz, std::string("\0", 1), true, ""},
        {"number", kRegDword, std::string("\x2a\0\0\0", 4), true, "42"},
        {"large number", kRegDword, std::string("\0\0\0\x81", 4), true, "2164260864"},
        {"other type keeps the caller's text", 3, "\x01\x02", true, "as passed"},
        {"1024 bytes fit", kRegSz, std::string(1024, 'x'), true, std::string(1024, 'x')},
        {"1025 bytes do not", kRegSz, std::string(1025, 'x'), false, ""},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.set(kTools, "PATH", c.type, c.bytes);
        std::string text = "as passed";
        EXPECT_EQ(GetKeyValue(registry, kHKeyLocalMachine, kTools, "PATH", text), c.read) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_TRUE(registry.openKeys.empty()) << c.name;
        EXPECT_EQ(registry.accessAsked, std::set<std::uint32_t>{0x2003F});
    }
}

TEST(GetKeyValue, AMissingKeyOrValueGivesFalseAndAnEmptyText) {
    FakeRegistry registry;
    registry.set(kTools, "OTHER", kRegSz, "x");
    std::string text = "stale";
    EXPECT_FALSE(GetKeyValue(registry, kHKeyLocalMachine, kTools, "PATH", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(registry.openKeys.empty()) << "the key is closed after a failed query";
    text = "stale";
    EXPECT_FALSE(GetKeyValue(registry, kHKeyLocalMachine, kLocation, "MSINFO", text));
    EXPECT_EQ(text, "");
}

TEST(WindowsSysInfoTool, TakesThePathKeyThenTheLocationKeyWithAnExistingTool) {
    struct Case {
        const char* name;
        bool pathKey, pathKeyRefused, locationKey, toolExists;
        std::optional<std::string> tool;
    };
    const Case cases[] = {
        {"path key, started unchecked", true, false, true, false, "C:\\Program Files\\msinfo32.exe"},
        {"location key with the tool", false, false, true, true, "C:\\Common\\MSINFO\\MSINFO32.EXE"},
        {"location key without the tool", false, false, true, false, std::nullopt},
        {"path key refused, location used", true, true, true, true, "C:\\Common\\MSINFO\\MSINFO32.EXE"},
        {"neither key", false, false, false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        if (c.pathKey)
            registry.set(kTools, "PATH", kRegSz, std::string("C:\\Program Files\\msinfo32.exe") + '\0');
        if (c.pathKeyRefused)
            registry.refused.insert(kTools);
        if (c.locationKey)
            registry.set(kLocation, "MSINFO", kRegSz, "C:\\Common\\MSINFO");
        std::vector<std::string> checked;
        const auto tool = windowsSysInfoTool(registry, [&](const std::string& path) {
            checked.push_back(path);
            return c.toolExists;
        });
        EXPECT_EQ(tool, c.tool) << c.name;
        if (c.pathKey && !c.pathKeyRefused) {
            EXPECT_TRUE(checked.empty()) << c.name;
        } else if (c.locationKey) {
            EXPECT_EQ(checked, std::vector<std::string>{"C:\\Common\\MSINFO\\MSINFO32.EXE"}) << c.name;
        }
    }
}

TEST(PathSysInfoTool, TheFirstKnownProgramWinsOverPathOrder) {
    const std::set<std::string> installed = {"/usr/bin/gnome-system-monitor", "/opt/kde/bin/kinfocenter",
                                             "hardinfo"};
    std::vector<std::string> asked;
    const auto isExecutable = [&](const std::string& path) {
        asked.push_back(path);
        return installed.count(path) > 0;
    };
    EXPECT_EQ(pathSysInfoTool("/usr/bin::/opt/kde/bin/", isExecutable), "/opt/kde/bin/kinfocenter");
    for (const std::string& path : asked)
        EXPECT_EQ(path.front(), '/') << "an empty PATH entry must not search the working directory";
    EXPECT_EQ(pathSysInfoTool("/bin", isExecutable), std::nullopt);
    EXPECT_EQ(pathSysInfoTool("", isExecutable), std::nullopt);
}

TEST(StartSysInfo, AnyFailureMeansUnavailable) {
    std::vector<std::string> started;
    const auto starts = [&](const std::string& path) {
        started.push_back(path);
        return true;
    };
    EXPECT_FALSE(StartSysInfo(std::nullopt, starts));
    EXPECT_FALSE(StartSysInfo(std::string(), starts));
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(StartSysInfo(std::string("/usr/bin/hardinfo"), starts));
    EXPECT_EQ(started, std::vector<std::string>{"/usr/bin/hardinfo"});
    EXPECT_FALSE(StartSysInfo(std::string("/x"), [](const std::string&) { return false; }));
    EXPECT_FALSE(
        StartSysInfo(std::string("/x"), [](const std::string&) -> bool { throw std::runtime_error("no"); }));
}
