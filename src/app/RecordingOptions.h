// The recording and display options of the window: Check1 "Display Tabular Data", Check3 "High Speed Record
// (Display)", Check4 "Record to File", List2 "Display Samples" and List3 "QEL Version". Their reactions to a
// change (by the operator or a settings load) all live here, and so does what they say for the next readings.
#pragma once

#include "acquisition/ReadingRoute.h"
#include "app/Form1Layout.h"

#include <QObject>

#include <string>

namespace acquisition {
class ReadingProcessor;
}

namespace app {

class RecordingOptions : public QObject {
    Q_OBJECT
public:
    // Connects the reactions. The controls and the processor must outlive the options.
    RecordingOptions(const Form1Controls& controls, acquisition::ReadingProcessor& processor,
                     QObject* parent = nullptr);

    // The options as the acquisition reads them for one received chunk. versionText stays valid until the
    // next call.
    const acquisition::AcquisitionOptions& forNextReadings();
    // "Record to File" checked (a greyed box, from a settings load, records nothing).
    bool recordToFile() const;
    // List3 names the 5 Hz unit.
    bool isFiveHzVersion() const;

signals:
    // Check4 changed; RecordingRun opens the record file if the run needs it now.
    void recordToFileChanged();

private:
    void Check3_Click();
    void List2_Click();
    void List3_Click();

    const Form1Controls& m_c;
    acquisition::ReadingProcessor& m_processor;
    std::string m_versionText;
    acquisition::AcquisitionOptions m_options;
};

} // namespace app
