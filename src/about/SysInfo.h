// Finding and starting the operating system's system-information tool for the About box's "System Info..."
// button. Plain C++; the registry and the file system come in from the caller.
#pragma once

#include "about/Registry.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace about {

inline constexpr std::string_view kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Reads the value SubKeyRef of the key KeyName below KeyRoot into KeyVal: a string as it stands (one trailing
// zero byte dropped), a 32-bit number in decimal; a value of any other type leaves KeyVal as it was. False,
// and KeyVal empty, when the key does not open or the value cannot be read (missing, or more than 1024
// bytes). Every key opened is closed.
bool GetKeyValue(RegistryReader& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

using FileCheck = std::function<bool(const std::string& path)>;

// Windows: the "PATH" value of HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO, taken as it stands; else the
// directory in the "MSINFO" value of HKLM\SOFTWARE\Microsoft\Shared Tools Location followed by
// "\MSINFO32.EXE", when fileExists says that file is there. Nothing when neither gives a path.
std::optional<std::string> windowsSysInfoTool(RegistryReader& registry, const FileCheck& fileExists);

// Linux: the first of these programs found in a directory of the PATH variable.
inline constexpr std::array<std::string_view, 4> kLinuxSysInfoTools = {"hardinfo2", "hardinfo", "kinfocenter",
                                                                       "gnome-system-monitor"};
std::optional<std::string> pathSysInfoTool(std::string_view pathVariable, const FileCheck& isExecutable);

// Starts the tool at toolPath with start (which must not wait for it). False when there is no tool, its path
// is empty, or start fails or throws: the caller then shows kSysInfoUnavailable.
bool StartSysInfo(const std::optional<std::string>& toolPath,
                  const std::function<bool(const std::string&)>& start);

} // namespace about
