// A recording run: Start (Command1) opens the serial link and the record file, every received byte becomes a
// reading whose outputs land on the window, Stop (Command2) closes both. Also owns what the run changes
// between runs: the receive path's state and the PID timer Timer1.
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

class OperatorMessages;

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

    // A change of Check4 while the link is open and no record file could be opened: try again.
    void recordOptionChanged();

    acquisition::ReadingProcessor& processor() { return m_processor; }
    const acquisition::SerialLink& CommPort1() const { return *m_port; }
    QTimer* Timer1() const { return m_timer1; }
    bool isRecordFileOpen() const { return m_recordWriter.isOpen(); }
    // The writer thread in front of the record file (benchmarks wait on it after Stop).
    acquisition::RecordWriter& recordWriter() { return m_recordWriter; }

private:
    struct ChunkOutputs {
        std::string heading;
        std::string recordReport;
        bool charted = false;
        bool traceChanged = false;
        std::string statisticsLabel;
        std::string statisticsCaption;
    };
    void onReceived(const QByteArray& bytes);
    void applyReading(const acquisition::ReadingOutputs& out, ChunkOutputs& chunk);
    void onLinkLost(const QString& reason);
    void showRecordReports();
    bool openRecordFile();
    void setConnected(bool connected);
    void startPidTimer();
    void pushTraceToChart();
    void flushPanel();

    const Form1Controls& m_c;
    EventLog& m_log;
    OperatorMessages& m_messages;
    acquisition::ReadingProcessor m_processor;
    std::unique_ptr<acquisition::SerialLink> m_port;
    // Record lines are written by a thread of their own: a slow disk never holds the window up.
    acquisition::RecordWriter m_recordWriter;
    QTimer* m_timer1 = nullptr;
    // Live lines reach Text1 at most once per screen refresh: painting the panel per read would cost more
    // than everything else on the receive path together.
    QTimer* m_panelTimer = nullptr;
    QString m_pendingPanel;
    bool m_pendingClear = false;
    std::string m_versionText; // List3's text for the chunk being processed
};

} // namespace app
