// The live display of a recording run: the heading line Label4, the statistics Label5, the text panel Text1
// and the chart Chart1. RecordingRun hands it each reading's outputs; it batches the panel and Label5 to one
// update per screen refresh, Label4 and the chart to one update per received chunk.
#pragma once

#include "app/Form1Layout.h"

#include <QObject>
#include <QString>

#include <span>
#include <string>

class QTimer;

namespace acquisition {
struct ReadingOutputs;
}

namespace app {

class LiveDisplay : public QObject {
    Q_OBJECT
public:
    // The controls must outlive the display.
    explicit LiveDisplay(const Form1Controls& controls, QObject* parent = nullptr);

    // Builds the empty chart (start-up and every Start).
    void DoTheChart();
    // Start of a run: the panel empty (nothing pending either) and trace (arcseconds, displayBuffer) shown.
    void startRun(std::span<const double> trace);

    // One reading of the chunk being received; copies what it needs, since the outputs' texts are valid
    // only until the next reading.
    void take(const acquisition::ReadingOutputs& out);
    // The chunk is complete: the heading and the chart now (trace is the sweep's displayBuffer after the
    // chunk), the panel and the statistics label at the next screen refresh.
    void showChunk(std::span<const double> trace);

    // Writes what is pending for the panel and Label5 now (Stop: the last lines must be there to read).
    void flushPanel();

private:
    void showTrace(std::span<const double> trace);

    const Form1Controls& m_c;
    // Live lines reach Text1 at most once per screen refresh: painting the panel per read would cost more
    // than everything else on the receive path together.
    QTimer* m_panelTimer = nullptr;
    QString m_pendingPanel;
    bool m_pendingClear = false;
    QString m_pendingStatistics; // Label5, shown with the panel
    bool m_statisticsPending = false;

    // The chunk being received.
    std::string m_heading;
    bool m_charted = false;
    bool m_traceChanged = false;
    std::string m_statisticsLabel;
    std::string m_statisticsCaption;
};

} // namespace app
