// The About box's texts: title, version line, the description naming the program's components and the
// warning. Plain C++; AboutBox shows them.
#pragma once

#include "common/ProgramInfo.h"

#include <string>
#include <string_view>

namespace about {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The versions of the outside components, as the program was built against them.
struct ComponentVersions {
    std::string chart;          // QCustomPlot, e.g. "2.1.0"
    std::string serialPort;     // Qt Serial Port, e.g. "6.4.2"
    std::string serialPortFile; // the serial-port library's file name, e.g. "libQt6SerialPort.so.6"
};

// "About " and the program's title.
std::string aboutCaption();
// "Version 1.0.6": each number in plain decimal.
std::string versionLine(ProgramVersion version);
// This program's own version, from common/ProgramInfo.h.
inline constexpr ProgramVersion programVersion{common::programVersionMajor, common::programVersionMinor,
                                               common::programVersionPatch};
// Four sentences: the program's rights notice; the QEL unit it is for; the chart component with its version
// and licence; the serial-port component, by file name, with its version and licence.
std::string descriptionText(const ComponentVersions& components);
// The copyright warning under the rule.
std::string_view disclaimerText();

} // namespace about
