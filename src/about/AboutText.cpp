// Texts of the About box.
#include "about/AboutText.h"

namespace about {

std::string aboutCaption() {
    return "About " + std::string(common::programTitle);
}

std::string versionLine(ProgramVersion version) {
    return "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

std::string descriptionText(const ComponentVersions& components) {
    // Five lines of the default dialog font at most: the label is 78 pixels high.
    return "© " + std::string(common::programTitle) +
           " authors, GNU GPL v3. For the QEL unit from its maker. Uses QCustomPlot " + components.chart +
           ", © E. Eichhammer, GNU GPL v3. Uses " + components.serialPortFile + " " + components.serialPort +
           ", © The Qt Company, GNU LGPL v3.";
}

std::string_view disclaimerText() {
    return "Warning: This program is protected by copyright law. Copy or share it only as its licence "
           "allows. It comes with no warranty.";
}

} // namespace about
