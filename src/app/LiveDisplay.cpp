// The live display: Label4, Label5, Text1 and Chart1 during a recording run.
#include "app/LiveDisplay.h"

#include "acquisition/ReadingProcessor.h"
#include "chart/Chart.h"
#include "chart/ChartLayout.h"
#include "widgets/FittedText.h"
#include "widgets/RefreshInterval.h"
#include "widgets/Utf8Text.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

namespace app {

using widgets::fromUtf8;

LiveDisplay::LiveDisplay(const Form1Controls& controls, QObject* parent)
    : QObject(parent)
    , m_c(controls)
    , m_panelTimer(new QTimer(this)) {
    m_c.Chart1->setRedrawInterval(kChartIntervalMs);
    m_panelTimer->setSingleShot(true);
    // A coarse timer may fire early and refresh more often than intended.
    m_panelTimer->setTimerType(Qt::PreciseTimer);
    m_panelTimer->setInterval(widgets::refreshIntervalMs(controls.Text1->screen(), kPanelIntervalMs));
    connect(m_panelTimer, &QTimer::timeout, this, &LiveDisplay::flushPanel);
}

void LiveDisplay::DoTheChart() {
    chart::DoTheChart(*m_c.Chart1);
}

void LiveDisplay::startRun(std::span<const double> trace) {
    showTrace(trace);
    m_pendingPanel.clear();
    m_pendingClear = false;
    m_statisticsPending = false;
    m_c.Text1->clear();
}

void LiveDisplay::take(const acquisition::ReadingOutputs& out) {
    if (m_heading.empty())
        m_heading = out.heading; // Check2 is the same for every reading of a chunk
    if (!out.liveLine.empty()) {
        m_pendingPanel += QLatin1Char('\n');
        m_pendingPanel += fromUtf8(out.liveLine);
    }
    if (out.clearPanel) {
        m_pendingClear = true;
        m_pendingPanel.clear();
    }
    if (out.chart.rate == acquisition::ChartRate::None)
        return;
    m_charted = true;
    chart::Chart& chart = *m_c.Chart1;
    chart.textBox(1).setText(fromUtf8(out.chart.rateCaption));
    using Limit = acquisition::AxisChange::Limit;
    if (out.chart.axis.limit == Limit::Minimum)
        chart.region(1).valueAxis(1).setMinimum(out.chart.axis.value);
    else if (out.chart.axis.limit == Limit::Maximum)
        chart.region(1).valueAxis(1).setMaximum(out.chart.axis.value);
    if (out.chart.traceChanged) {
        m_traceChanged = true;
        m_statisticsLabel = out.chart.statisticsLabel;
        m_statisticsCaption = out.chart.statisticsCaption;
    }
}

void LiveDisplay::showChunk(std::span<const double> trace) {
    if (const QString heading = fromUtf8(m_heading); !heading.isEmpty() && m_c.Label(4)->text() != heading)
        widgets::setTextFitted(m_c.Label(4), heading);
    if (m_traceChanged) {
        // Label5 with the panel: a label set per chunk is painted as often as chunks come.
        m_pendingStatistics = fromUtf8(m_statisticsLabel);
        m_statisticsPending = true;
        m_c.Chart1->textBox(2).setText(fromUtf8(m_statisticsCaption));
        m_c.Chart1->region(1).lineSeries(1).setData(trace);
    }
    // Without a new trace, the rate caption changed at a sweep boundary. The chart paces its redraws itself.
    if (m_traceChanged || m_charted)
        m_c.Chart1->draw(false);
    if ((m_pendingClear || !m_pendingPanel.isEmpty() || m_statisticsPending) && !m_panelTimer->isActive())
        m_panelTimer->start();
    m_heading.clear();
    m_charted = false;
    m_traceChanged = false;
}

void LiveDisplay::refreshNow() {
    flushPanel();
    if (m_c.Chart1->drawPending())
        m_c.Chart1->draw(true);
}

void LiveDisplay::flushPanel() {
    m_panelTimer->stop();
    if (m_pendingClear)
        m_c.Text1->clear();
    if (!m_pendingPanel.isEmpty()) {
        // Appended at the end in one edit: the document lays out the new lines once, and the cursor's
        // moves do not lay out the last line to find where they are. The panel then scrolls to its end.
        QTextCursor cursor(m_c.Text1->document());
        cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(m_pendingPanel);
        cursor.endEditBlock();
    }
    m_pendingPanel.clear();
    m_pendingClear = false;
    if (m_statisticsPending)
        m_c.Label(5)->setText(m_pendingStatistics);
    m_statisticsPending = false;
}

void LiveDisplay::showTrace(std::span<const double> trace) {
    m_c.Chart1->region(1).lineSeries(1).setData(trace);
    m_c.Chart1->draw(false);
}

} // namespace app
