// Registry lookup and PATH search for the system-information tool.
#include "about/SysInfo.h"

#include <algorithm>
#include <vector>

namespace about {

bool GetKeyValue(RegistryReader& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
    RegistryReader::Key key = 0;
    if (!registry.openKey(KeyRoot, KeyName, kKeyAccess, key)) {
        KeyVal.clear();
        return false;
    }
    std::vector<unsigned char> buffer(1024, 0);
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t type = 0;
    if (!registry.queryValue(key, SubKeyRef, type, buffer.data(), size)) {
        KeyVal.clear();
        registry.closeKey(key);
        return false;
    }
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    // Strings are usually stored with their terminating zero, but need not be.
    if (!buffer.empty() && buffer.back() == 0)
        buffer.pop_back();

    if (type == kRegSz) {
        KeyVal.assign(buffer.begin(), buffer.end());
    } else if (type == kRegDword) {
        std::uint32_t number = 0; // little-endian; bytes cut off above were zero
        for (std::size_t i = 0; i < buffer.size() && i < 4; ++i)
            number |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
        KeyVal = std::to_string(number);
    }
    registry.closeKey(key);
    return true;
}

std::optional<std::string> windowsSysInfoTool(RegistryReader& registry, const FileCheck& fileExists) {
    std::string value;
    if (GetKeyValue(registry, kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", value))
        return value;
    if (GetKeyValue(registry, kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                    value)) {
        const std::string tool = value + "\\MSINFO32.EXE";
        if (fileExists(tool))
            return tool;
    }
    return std::nullopt;
}

std::optional<std::string> pathSysInfoTool(std::string_view pathVariable, const FileCheck& isExecutable) {
    for (std::string_view program : kLinuxSysInfoTools) {
        std::size_t at = 0;
        while (at <= pathVariable.size()) {
            const std::size_t colon = std::min(pathVariable.find(':', at), pathVariable.size());
            const std::string_view directory = pathVariable.substr(at, colon - at);
            at = colon + 1;
            // An empty PATH entry would mean the working directory: never start a program from there.
            if (directory.empty())
                continue;
            std::string candidate(directory);
            if (candidate.back() != '/')
                candidate += '/';
            candidate += program;
            if (isExecutable(candidate))
                return candidate;
        }
    }
    return std::nullopt;
}

bool StartSysInfo(const std::optional<std::string>& toolPath,
                  const std::function<bool(const std::string&)>& start) {
    if (!toolPath || toolPath->empty())
        return false;
    try {
        return start(*toolPath);
    } catch (...) {
        return false; // any failure to start reads as "unavailable" to the operator
    }
}

} // namespace about
