// Finding and starting the operating system's system-information tool for the About box's "System Info..."
// button. Plain C++; the file system comes in from the caller.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace about {

inline constexpr std::string_view kSysInfoUnavailable = "System Information Is Unavailable At This Time";

using FileCheck = std::function<bool(const std::string& path)>;

// The first of these programs found in a directory of the PATH variable.
inline constexpr std::array<std::string_view, 4> kLinuxSysInfoTools = {"hardinfo2", "hardinfo", "kinfocenter",
                                                                       "gnome-system-monitor"};
std::optional<std::string> pathSysInfoTool(std::string_view pathVariable, const FileCheck& isExecutable);

// Starts the tool at toolPath with start (which must not wait for it). False when there is no tool, its path
// is empty, or start fails or throws: the caller then shows kSysInfoUnavailable.
bool StartSysInfo(const std::optional<std::string>& toolPath,
                  const std::function<bool(const std::string&)>& start);

} // namespace about
