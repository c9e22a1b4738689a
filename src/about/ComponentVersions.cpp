// Component versions as the program was built: the chart library reports its plotting library's, Qt's
// header the serial port's.
#include "about/ComponentVersions.h"

#include "chart/PlottingLibrary.h"

#include <QtGlobal>
#include <QtSerialPort/qtserialportversion.h>

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
    return {chart::plottingLibraryVersion(), QTSERIALPORT_VERSION_STR, serialPortFile};
}

} // namespace about
