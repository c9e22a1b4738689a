// Which device a port number names, and the line settings text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <unistd.h>

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
        {"USB adapter when there is no link", 1, {"/dev/ttyUSB0", "/dev/ttyS0"}, Posix, "/dev/ttyUSB0", ""},
        {"port n is adapter n-1", 3, {"/dev/ttyUSB0", "/dev/ttyUSB2"}, Posix, "/dev/ttyUSB2", ""},
        {"another port's adapter is not taken", 2, {"/dev/ttyUSB0"}, Posix, "/dev/ttyS1", ""},
        {"built-in port when nothing exists", 8, {}, Posix, "/dev/ttyS7", ""},
        {"COM1 is not COM10", 10, {"/w/COM1"}, Posix, "/dev/ttyS9", ""},
        {"two-digit link", 10, {"/w/COM10"}, Posix, "/w/COM10", "/w/COM10"},
        {"highest port", 255, {}, Posix, "/dev/ttyS254", ""},
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
    const struct {
        int port;
        std::string path;
    } cases[] = {{1, device}, {2, device}, {5, (dir / "by-id" / "unplugged").string()}};
    for (const auto& c : cases) {
        const auto found = findPortDevice(c.port, dir.string());
        ASSERT_TRUE(found) << c.port;
        EXPECT_EQ(found->path, c.path) << c.port;
        EXPECT_EQ(found->link, (dir / ("COM" + std::to_string(c.port))).string()) << c.port;
    }
}

// After the unit went away during a run: the device to try now, by the route taken at Start.
TEST(PortDevice, ReopenFollowsTheRouteOfStartAndNeverFallsBack) {
    using Links = std::map<std::string, std::string>;
    // Standing in for another device that must never be opened instead of the unit.
    const std::set<std::string> fallbacks = {"/dev/ttyUSB0", "/dev/ttyS0"};
    const PortDevice viaCom1{"/dev/pts/5", "/w/COM1"};
    const struct {
        const char* name;
        PortDevice opened;
        std::set<std::string> devices; // existing entries that are no links (besides the fallbacks)
        Links links;
        const char* path; // nullptr: not back yet
        const char* notBack;
    } cases[] = {
        {"device name: the same name, opening says if it is back",
         {"/dev/ttyUSB3", ""},
         {},
         {},
         "/dev/ttyUSB3",
         ""},
        {"link to the same node", viaCom1, {"/dev/pts/5"}, {{"/w/COM1", "/dev/pts/5"}}, "/dev/pts/5", ""},
        {"link now leads to another node",
         viaCom1,
         {"/dev/pts/9"},
         {{"/w/COM1", "/dev/pts/9"}},
         "/dev/pts/9",
         ""},
        {"by-id link, relative, to the adapter's new node",
         {"/dev/ttyUSB0", "/w/COM1"},
         {"/dev/ttyUSB1"},
         {{"/w/COM1", "/dev/serial/by-id/usb-QEL-if00"}, {"/dev/serial/by-id/usb-QEL-if00", "../../ttyUSB1"}},
         "/dev/ttyUSB1",
         ""},
        {"relative link from the working directory",
         viaCom1,
         {"/dev/pts/7"},
         {{"/w/COM1", "../dev/pts/7"}},
         "/dev/pts/7",
         ""},
        {"link points nowhere while fallbacks exist",
         viaCom1,
         {},
         {{"/w/COM1", "/dev/pts/5"}},
         nullptr,
         "/w/COM1 leads to /dev/pts/5, which is not there"},
        {"by-id name gone with the adapter",
         {"/dev/ttyUSB0", "/w/COM1"},
         {},
         {{"/w/COM1", "/dev/serial/by-id/usb-QEL-if00"}},
         nullptr,
         "/w/COM1 leads to /dev/serial/by-id/usb-QEL-if00, which is not there"},
        {"link removed", viaCom1, {"/dev/pts/5"}, {}, nullptr, "/w/COM1 is not there"},
        {"links in a circle",
         viaCom1,
         {},
         {{"/w/COM1", "COM2"}, {"/w/COM2", "COM1"}},
         nullptr,
         "/w/COM1 leads round in circles"},
    };
    for (const auto& c : cases) {
        const auto exists = [&c, &fallbacks](const std::string& path) {
            return c.devices.count(path) > 0 || c.links.count(path) > 0 || fallbacks.count(path) > 0;
        };
        const auto readLink = [&c](const std::string& path) -> std::optional<std::string> {
            const auto it = c.links.find(path);
            return it == c.links.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        const ReopenChoice got = chooseReopenDevice(c.opened, exists, readLink);
        ASSERT_EQ(got.device.has_value(), c.path != nullptr) << c.name << ": " << got.notBack;
        if (got.device) {
            EXPECT_EQ(got.device->path, c.path) << c.name;
            EXPECT_EQ(got.device->link, c.opened.link) << c.name;
        } else {
            EXPECT_EQ(got.notBack, c.notBack) << c.name;
        }
    }
}

TEST(PortDevice, ReopenOnTheFileSystemFollowsTheLinkAfresh) {
    const testsupport::TempDir temp;
    const fs::path& dir = temp.path;
    fs::create_directories(dir / "by-id");
    std::ofstream(dir / "ttyA") << "";
    std::ofstream(dir / "ttyB") << "";
    fs::create_symlink("../ttyA", dir / "by-id" / "qel");
    fs::create_symlink(dir / "by-id" / "qel", dir / "COM1");
    const auto opened = findPortDevice(1, dir.string());
    ASSERT_TRUE(opened);
    EXPECT_EQ(findReopenDevice(*opened).device->path, (dir / "ttyA").string());

    // The adapter comes back under another node behind the same by-id name.
    fs::remove(dir / "by-id" / "qel");
    EXPECT_FALSE(findReopenDevice(*opened).device);
    fs::create_symlink("../ttyB", dir / "by-id" / "qel");
    const auto again = findReopenDevice(*opened);
    ASSERT_TRUE(again.device) << again.notBack;
    EXPECT_EQ(again.device->path, (dir / "ttyB").string());
    EXPECT_EQ(again.device->link, opened->link);
}

TEST(LineSettings, RefusesWhatIsNotBaudParityDataBitsStopBits) {
    EXPECT_TRUE(parseLineSettings(qelLineSettings));
    for (const char* bad :
         {"", "9600", "9600,n,8", "9600,n,8,1,1", "9600,x,8,1", "9600,nn,8,1", "9600,,8,1", "9600,n,9,1",
          "9600,n,4,1", "9600,n,8,3", "9600,n,8,1.5", "0,n,8,1", "-9600,n,8,1", "96OO,n,8,1"})
        EXPECT_FALSE(parseLineSettings(bad)) << bad;
}
