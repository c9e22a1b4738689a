// A recording run: Start (Command1) opens the serial link and the record file, every received chunk of bytes
// goes through the reading processor to the record file and the live display, Stop (Command2) closes both.
// Owns what lives between runs: the receive path's state, the options that steer it and the PID timer Timer1.
#pragma once

#include "acquisition/ReadingProcessor.h"
#include "acquisition/RecordWriter.h"
#include "acquisition/SerialLink.h"
#include "app/EventLog.h"
#include "app/Form1Layout.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QTimer;

namespace app {

class LiveDisplay;
class OperatorMessages;
class RecordingOptions;

class RecordingRun : public QObject {
    Q_OBJECT
public:
    RecordingRun(const Form1Controls& controls, const common::Clock& clock,
                 const common::TimeStampFormatter& formatter, EventLog& log, OperatorMessages& messages,
                 QObject* parent = nullptr);
    ~RecordingRun() override;

    void Command1_Click(); // Start
    void Command2_Click(); // Stop

    // Builds the empty chart (start-up and every Start).
    void DoTheChart();

    acquisition::ReadingProcessor& processor() { return m_processor; }
    RecordingOptions& options() { return *m_options; }
    const acquisition::SerialLink& CommPort1() const { return *m_port; }
    QTimer* Timer1() const { return m_timer1; }
    bool isRecordFileOpen() const { return m_recordWriter.isOpen(); }
    // The record file's name as "Output File:" read at Start (relative to the working directory).
    const QString& recordFileName() const { return m_recordFileName; }
    // The writer thread in front of the record file (benchmarks wait on it after Stop).
    acquisition::RecordWriter& recordWriter() { return m_recordWriter; }

private:
    void onReceived(const QByteArray& bytes);
    void onLinkLost();
    void onRecordToFileChanged();
    void showRecordReports();
    bool openRecordFile();
    void closeRecordFile();
    void setConnected(bool connected);
    void startPidTimer();

    const Form1Controls& m_c;
    EventLog& m_log;
    OperatorMessages& m_messages;
    acquisition::ReadingProcessor m_processor;
    LiveDisplay* m_display = nullptr;
    RecordingOptions* m_options = nullptr;
    std::unique_ptr<acquisition::SerialLink> m_port;
    int m_portNumber = 0; // as List1 named it at Start
    // Record lines are written by a thread of their own: a slow disk never holds the window up.
    acquisition::RecordWriter m_recordWriter;
    // Text3 as it was at Start: a file opened later in the run (Check4 checked) uses this name too.
    QString m_recordFileName;
    QTimer* m_timer1 = nullptr;
};

} // namespace app
