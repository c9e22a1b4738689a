// A recording run: Start (Command1) opens the serial link and the record file, every received chunk of bytes
// goes through the reading processor to the record file and the live display, Stop (Command2) closes both.
// A link lost during the run is tried again every second until it opens or Stop ends the run.
// Owns what lives between runs: the receive path's state and the options that steer it. What it decodes and
// when runs start and stop flow out through its signals (guiding listens); the mount's position comes in.
#pragma once

#include "acquisition/ReadingProcessor.h"
#include "acquisition/RecordWriter.h"
#include "acquisition/SerialLink.h"
#include "app/EventLog.h"
#include "app/Form1Layout.h"
#include "app/LinkRecovery.h"

#include <QObject>
#include <QString>

#include <chrono>
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

    // The telescope link's position texts, for the lines of the next readings.
    void setPosition(const QString& raText, const QString& decText);

    acquisition::ReadingProcessor& processor() { return m_processor; }
    RecordingOptions& options() { return *m_options; }
    const acquisition::SerialLink& CommPort1() const { return *m_port; }
    bool isRecordFileOpen() const { return m_recordWriter.isOpen(); }
    // The link was lost during the run and is being tried again (by the timer "reconnect timer").
    bool isRestoringLink() const { return m_recovery.trying(); }
    // The record file's name as "Output File:" read at Start (relative to the working directory).
    const QString& recordFileName() const { return m_recordFileName; }
    // The writer thread in front of the record file (benchmarks wait on it after Stop).
    acquisition::RecordWriter& recordWriter() { return m_recordWriter; }

signals:
    // Start has opened the link (linkOpen) or failed to, and Stop has ended the run; emitted at the point of
    // Start and Stop where the PID timer is switched, so guiding follows in that order.
    void runStarted(bool linkOpen);
    void runStopped();
    // The link to the unit was lost during the run: no readings until it is back (readingsResumed) or Stop.
    void readingsInterrupted();
    // The link lost during the run is open again: readings follow.
    void readingsResumed();
    // Each reading as decoded, in order: arcseconds, and when its bytes were read (steady clock).
    void readingDecoded(double trackingError, std::chrono::steady_clock::time_point at);

private:
    void onReceived(const QByteArray& bytes);
    void onLinkLost();
    void tryReopen();
    void showLinkState();
    LinkMoment now() const;
    void onRecordToFileChanged();
    void showRecordReports();
    bool openRecordFile();
    void closeRecordFile();
    void setConnected(bool connected);

    const Form1Controls& m_c;
    const common::Clock& m_clock;
    EventLog& m_log;
    OperatorMessages& m_messages;
    acquisition::ReadingProcessor m_processor;
    LiveDisplay* m_display = nullptr;
    RecordingOptions* m_options = nullptr;
    std::unique_ptr<acquisition::SerialLink> m_port;
    int m_portNumber = 0; // as List1 named it at Start
    // While the link lost during a run is being restored: one attempt to open it per tick.
    QTimer* m_reconnect = nullptr;
    LinkRecovery m_recovery;
    // Record lines are written by a thread of their own: a slow disk never holds the window up.
    acquisition::RecordWriter m_recordWriter;
    // Text3 as it was at Start: a file opened later in the run (Check4 checked) uses this name too.
    QString m_recordFileName;
};

} // namespace app
