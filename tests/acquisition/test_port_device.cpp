// Which device a port number names, and the line settings text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

TEST(LineSettings, RefusesWhatIsNotBaudParityDataBitsStopBits) {
    EXPECT_TRUE(parseLineSettings(qelLineSettings));
    for (const char* bad :
         {"", "9600", "9600,n,8", "9600,n,8,1,1", "9600,x,8,1", "9600,nn,8,1", "9600,,8,1", "9600,n,9,1",
          "9600,n,4,1", "9600,n,8,3", "9600,n,8,1.5", "0,n,8,1", "-9600,n,8,1", "96OO,n,8,1"})
        EXPECT_FALSE(parseLineSettings(bad)) << bad;
}
