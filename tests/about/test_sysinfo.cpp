// Finding the system-information tool: the PATH search, and the start that reports "unavailable" instead of
// failing.
#include "about/SysInfo.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace about;

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

TEST(StartSysInfo, NoToolOrAStartThatThrowsMeansUnavailable) {
    EXPECT_FALSE(StartSysInfo(std::nullopt, [](const std::string&) { return true; }));
    EXPECT_FALSE(
        StartSysInfo(std::string("/x"), [](const std::string&) -> bool { throw std::runtime_error("no"); }));
}
