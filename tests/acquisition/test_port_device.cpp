// Which device a port number names, and the line settings text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "acquisition/PortDevice.h"
#include "support/TempDir.h"

using namespace acquisition;
namespace fs = std::filesystem;

TEST(PortDevice, PortAsTheOperatorChoseIt) {
    EXPECT_EQ(portForOperator(1, "/dev/ttyUSB0", "/home/obs/COM1"), "port 1 (COM1 \u2192 /dev/ttyUSB0)");
    EXPECT_EQ(portForOperator(3, "COM3", ""), "port 3 (COM3)");
    EXPECT_EQ(portForOperator(2, "/dev/ttyS1", ""), "port 2 (/dev/ttyS1)");
}

TEST(PortDevice, NamingRule) {
    constexpr auto Posix = PortNaming::Posix;
    const struct {
        const char* name;
        int port;
        std::set<std::string> existing;
        PortNaming naming;
        const char* path; // nullptr: no device
        const char* link;
    } cases[] = {
        {"Windows names the port itself", 3, {"/w/COM3"}, PortNaming::Windows, "COM3", ""},
        {"COM link first", 1, {"/w/COM1", "/dev/ttyUSB0"}, Posix, "/w/COM1", "/w/COM1"},
        {"port n is adapter n-1, no other", 3, {"/dev/ttyUSB0", "/dev/ttyUSB2"}, Posix, "/dev/ttyUSB2", ""},
        {"another port's adapter is not taken", 2, {"/dev/ttyUSB0"}, Posix, "/dev/ttyS1", ""},
        {"built-in port up to the highest", 255, {}, Posix, "/dev/ttyS254", ""},
        {"COM1 is not COM10", 10, {"/w/COM1"}, Posix, "/dev/ttyS9", ""},
        {"no port chosen", 0, {"/w/COM0"}, Posix, nullptr, ""},
        {"past the highest", 256, {}, PortNaming::Windows, nullptr, ""},
    };
    for (const auto& c : cases) {
        const auto exists = [&c](const std::string& path) {
            return c.existing.count(path) > 0;
        };
        for (const char* workDir : {"/w", "/w/"}) { // with or without the slash
            const auto got = choosePortDevice(c.port, workDir, exists, c.naming);
            ASSERT_EQ(got.has_value(), c.path != nullptr) << c.name;
            if (got) {
                EXPECT_EQ(got->path, c.path) << c.name;
                EXPECT_EQ(got->link, c.link) << c.name;
            }
        }
    }
    const auto inCwd = [](const std::string& path) {
        return path == "COM4";
    };
    EXPECT_EQ(choosePortDevice(4, "", inCwd, Posix)->path, "COM4");
}

TEST(PortDevice, LinksResolveRelativeToTheirDirectoryAndDanglingOnesNameTheirTarget) {
    const testsupport::TempDir temp;
    const fs::path& dir = temp.path;
    fs::create_directories(dir / "by-id");
    std::ofstream(dir / "by-id" / "ttyQEL") << "";
    fs::create_symlink(dir / "by-id" / "ttyQEL", dir / "COM1");
    fs::create_symlink("by-id/ttyQEL", dir / "COM2");
    fs::create_symlink("by-id/unplugged", dir / "COM5");
    const std::string device = fs::canonical(dir / "by-id" / "ttyQEL").string();
    const std::pair<int, std::string> cases[] = {
        {1, device}, {2, device}, {5, (dir / "by-id" / "unplugged").string()}};
    for (const auto& [port, path] : cases) {
        const auto found = findPortDevice(port, dir.string());
        ASSERT_TRUE(found) << port;
        EXPECT_EQ(found->path, path) << port;
        EXPECT_EQ(found->link, (dir / ("COM" + std::to_string(port))).string()) << port;
    }
}

// After the unit went away during a run: the device to try now, by the route taken at Start.
TEST(PortDevice, ReopenFollowsTheRouteOfStartAndNeverFallsBack) {
    // /dev/ttyUSB0 and /dev/ttyS0 stand in for another device that must never be opened instead of the unit.
    const PortDevice viaCom1{"/dev/pts/5", "/w/COM1"}, viaById{"/dev/ttyUSB0", "/w/COM1"};
    const std::string byId = "/dev/serial/by-id/qel";
    const struct {
        PortDevice opened;
        std::set<std::string> devices; // existing entries that are no links
        std::map<std::string, std::string> links;
        std::string result; // the device to open, or why it is not back yet
    } cases[] = {
        {{"/dev/ttyUSB3", ""}, {}, {}, "/dev/ttyUSB3"}, // a device name: opening it says whether it is back
        {viaCom1, {"/dev/pts/9"}, {{"/w/COM1", "/dev/pts/9"}}, "/dev/pts/9"},
        {viaById, {"/dev/ttyUSB1"}, {{"/w/COM1", byId}, {byId, "../../ttyUSB1"}}, "/dev/ttyUSB1"},
        {viaCom1, {}, {{"/w/COM1", "/dev/pts/5"}}, "/w/COM1 leads to /dev/pts/5, which is not there"},
        {viaById, {}, {{"/w/COM1", byId}}, "/w/COM1 leads to " + byId + ", which is not there"},
        {viaCom1, {"/dev/pts/5"}, {}, "/w/COM1 is not there"},
        {viaCom1, {}, {{"/w/COM1", "COM2"}, {"/w/COM2", "COM1"}}, "/w/COM1 leads round in circles"},
    };
    for (const auto& c : cases) {
        const auto exists = [&c](const std::string& path) {
            return c.devices.count(path) > 0 || c.links.count(path) > 0 || path == "/dev/ttyUSB0" ||
                   path == "/dev/ttyS0";
        };
        const auto readLink = [&c](const std::string& path) -> std::optional<std::string> {
            const auto it = c.links.find(path);
            return it == c.links.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        const ReopenChoice got = chooseReopenDevice(c.opened, exists, readLink);
        EXPECT_EQ(got.device ? got.device->path : got.notBack, c.result);
        EXPECT_EQ(got.device ? got.device->link : c.opened.link, c.opened.link) << c.result;
    }
}

TEST(LineSettings, RefusesWhatIsNotBaudParityDataBitsStopBits) {
    EXPECT_TRUE(parseLineSettings(qelLineSettings));
    for (const char* bad : {"9600,n,8", "9600,n,8,1,1", "9600,x,8,1", "9600,nn,8,1", "9600,n,9,1",
                            "9600,n,4,1", "9600,n,8,3", "9600,n,8,1.5", "0,n,8,1", "96OO,n,8,1"})
        EXPECT_FALSE(parseLineSettings(bad)) << bad;
}
