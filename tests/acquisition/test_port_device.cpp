// Which device a port number names, and the line settings text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

#include "acquisition/PortDevice.h"

using namespace acquisition;
namespace fs = std::filesystem;

namespace {

struct NamingCase {
    const char* name;
    int port;
    std::set<std::string> existing;
    PortNaming naming;
    std::optional<PortDevice> expected;
};

} // namespace

TEST(PortDevice, NamingRule) {
    const std::string w = "/home/obs";
    const NamingCase cases[] = {
        {"Windows names the port itself", 3, {"/home/obs/COM3"}, PortNaming::Windows, PortDevice{"COM3", ""}},
        {"COM link first",
         1,
         {"/home/obs/COM1", "/dev/ttyUSB0"},
         PortNaming::Posix,
         PortDevice{"/home/obs/COM1", "/home/obs/COM1"}},
        {"USB adapter when there is no link",
         1,
         {"/dev/ttyUSB0", "/dev/ttyS0"},
         PortNaming::Posix,
         PortDevice{"/dev/ttyUSB0", ""}},
        {"port n is adapter n-1",
         3,
         {"/dev/ttyUSB0", "/dev/ttyUSB2"},
         PortNaming::Posix,
         PortDevice{"/dev/ttyUSB2", ""}},
        {"another port's adapter is not taken",
         2,
         {"/dev/ttyUSB0"},
         PortNaming::Posix,
         PortDevice{"/dev/ttyS1", ""}},
        {"built-in port when nothing exists", 8, {}, PortNaming::Posix, PortDevice{"/dev/ttyS7", ""}},
        {"COM1 is not COM10", 10, {"/home/obs/COM1"}, PortNaming::Posix, PortDevice{"/dev/ttyS9", ""}},
        {"two-digit link",
         10,
         {"/home/obs/COM10"},
         PortNaming::Posix,
         PortDevice{"/home/obs/COM10", "/home/obs/COM10"}},
        {"highest port", 255, {}, PortNaming::Posix, PortDevice{"/dev/ttyS254", ""}},
        {"no port chosen", 0, {"/home/obs/COM0"}, PortNaming::Posix, std::nullopt},
        {"negative", -1, {}, PortNaming::Posix, std::nullopt},
        {"past the highest", 256, {}, PortNaming::Windows, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto exists = [&c](const std::string& path) {
            return c.existing.count(path) > 0;
        };
        const auto got = choosePortDevice(c.port, w, exists, c.naming);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
        if (got) {
            EXPECT_EQ(got->path, c.expected->path) << c.name;
            EXPECT_EQ(got->link, c.expected->link) << c.name;
        }
    }
}

TEST(PortDevice, WorkingDirectoryWithOrWithoutSlash) {
    const auto exists = [](const std::string& path) {
        return path == "/w/COM4" || path == "COM4";
    };
    EXPECT_EQ(choosePortDevice(4, "/w/", exists, PortNaming::Posix)->path, "/w/COM4");
    EXPECT_EQ(choosePortDevice(4, "/w", exists, PortNaming::Posix)->path, "/w/COM4");
    EXPECT_EQ(choosePortDevice(4, "", exists, PortNaming::Posix)->path, "COM4");
}

class PortDeviceOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("qel-port-device-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "by-id");
        std::ofstream(dir / "by-id" / "ttyQEL") << "";
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(PortDeviceOnDisk, LinkResolvesToItsTarget) {
    fs::create_symlink(dir / "by-id" / "ttyQEL", dir / "COM1");
    fs::create_symlink("by-id/ttyQEL", dir / "COM2"); // relative to the link's own directory
    for (int port : {1, 2}) {
        const auto found = findPortDevice(port, dir.string());
        ASSERT_TRUE(found);
        EXPECT_EQ(found->path, fs::canonical(dir / "by-id" / "ttyQEL").string()) << port;
        EXPECT_EQ(found->link, (dir / ("COM" + std::to_string(port))).string()) << port;
    }
}

TEST_F(PortDeviceOnDisk, DanglingLinkNamesTheMissingTarget) {
    fs::create_symlink("by-id/unplugged", dir / "COM5");
    const auto found = findPortDevice(5, dir.string());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, (dir / "by-id" / "unplugged").string());
    EXPECT_EQ(found->link, (dir / "COM5").string());
}

TEST(LineSettings, Parse) {
    struct Case {
        const char* text;
        std::optional<LineSettings> expected;
    };
    const Case cases[] = {
        {"9600,n,8,1", LineSettings{9600, 'n', 8, 1}},
        {"9600,N,8,1", LineSettings{9600, 'n', 8, 1}},
        {"4800,e,7,2", LineSettings{4800, 'e', 7, 2}},
        {"115200,o,5,1", LineSettings{115200, 'o', 5, 1}},
        {"", std::nullopt},
        {"9600", std::nullopt},
        {"9600,n,8", std::nullopt},
        {"9600,n,8,1,1", std::nullopt},
        {"9600,x,8,1", std::nullopt},
        {"9600,nn,8,1", std::nullopt},
        {"9600,,8,1", std::nullopt},
        {"9600,n,9,1", std::nullopt},
        {"9600,n,4,1", std::nullopt},
        {"9600,n,8,3", std::nullopt},
        {"9600,n,8,1.5", std::nullopt},
        {"0,n,8,1", std::nullopt},
        {"-9600,n,8,1", std::nullopt},
        {"96OO,n,8,1", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = parseLineSettings(c.text);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.text;
        if (got) {
            EXPECT_EQ(got->baud, c.expected->baud) << c.text;
            EXPECT_EQ(got->parity, c.expected->parity) << c.text;
            EXPECT_EQ(got->dataBits, c.expected->dataBits) << c.text;
            EXPECT_EQ(got->stopBits, c.expected->stopBits) << c.text;
        }
    }
    EXPECT_TRUE(parseLineSettings(qelLineSettings));
}
