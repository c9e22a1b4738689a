// The live display of a recording run: the heading line Label4, the statistics Label5, the text panel Text1
// and the chart Chart1. RecordingRun hands it each reading's outputs; it asks the chart for one redraw per
// chunk, which the chart paces to kChartIntervalMs, batches the panel and Label5 to one refresh per
// kPanelIntervalMs, and sets Label4 per chunk.
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
    // The chunk is complete: the heading now, the panel, the statistics label and the chart (trace is the
    // sweep's displayBuffer after the chunk) at the next refresh.
    void showChunk(std::span<const double> trace);

    // Shows what is pending now (Stop: the last lines must be there to read).
    void refreshNow();

    // The chart is redrawn at most this often (and never faster than the screen refreshes): 25 times a
    // second reads as continuous motion.
    static constexpr int kChartIntervalMs = 40;
    // The panel and Label5 are refreshed at most this often: each refresh shows every line that came since
    // the last. Lines are read, not watched move, and each refresh (a layout, the panel, its scroll bar and
    // the window's flush painted) cost more per reading than everything else on the receive path.
    static constexpr int kPanelIntervalMs = 250;

private:
    void flushPanel();
    void showTrace(std::span<const double> trace);

    const Form1Controls& m_c;
    QTimer* m_panelTimer;
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
