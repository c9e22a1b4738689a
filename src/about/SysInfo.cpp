// The PATH search for the system-information tool, and its start.
#include "about/SysInfo.h"

#include <algorithm>
#include <vector>

namespace about {

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
