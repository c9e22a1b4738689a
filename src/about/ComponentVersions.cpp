// Component versions from the headers the program was built with (kept apart: qcustomplot.h is a heavy
// include).
#include "about/ComponentVersions.h"

#include <QtSerialPort/qtserialportversion.h>
#include <qcustomplot.h>

namespace about {

ComponentVersions builtComponentVersions() {
#if defined(_WIN32)
    const std::string serialPortFile = "Qt" + std::to_string(QT_VERSION_MAJOR) + "SerialPort.dll";
#elif defined(__APPLE__)
    const std::string serialPortFile = "QtSerialPort.framework";
#else
    const std::string serialPortFile =
        "libQt" + std::to_string(QT_VERSION_MAJOR) + "SerialPort.so." + std::to_string(QT_VERSION_MAJOR);
#endif
    return {QCUSTOMPLOT_VERSION_STR, QTSERIALPORT_VERSION_STR, serialPortFile};
}

} // namespace about
