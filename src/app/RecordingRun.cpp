#include "app/RecordingRun.h"

#include "acquisition/RecordFile.h"
#include "app/OneRowList.h"
#include "app/OperatorMessages.h"
#include "chart/Chart.h"
#include "chart/ChartLayout.h"
#include "common/ListNumber.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

#include <cmath>

namespace app {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool isChecked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}

} // namespace

RecordingRun::RecordingRun(const Form1Controls& controls, const common::Clock& clock,
                           const common::TimeStampFormatter& formatter, EventLog& log,
                           OperatorMessages& messages, QObject* parent)
    : QObject(parent)
    , m_c(controls)
    , m_log(log)
    , m_messages(messages)
    , m_processor(clock, formatter)
    , m_port(std::make_unique<acquisition::SerialLink>())
    , m_recordWriter([this] {
        // On the writer thread: the reports are shown on the UI thread.
        QMetaObject::invokeMethod(this, &RecordingRun::showRecordReports, Qt::QueuedConnection);
    }) {
    m_port->setObjectName(QStringLiteral("CommPort1"));
    connect(m_port.get(), &acquisition::SerialLink::received, this, &RecordingRun::onReceived);
    connect(m_port.get(), &acquisition::SerialLink::linkLost, this, &RecordingRun::onLinkLost);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));

    m_panelTimer = new QTimer(this);
    m_panelTimer->setSingleShot(true);
    m_panelTimer->setInterval(16);
    connect(m_panelTimer, &QTimer::timeout, this, &RecordingRun::flushPanel);
}

RecordingRun::~RecordingRun() = default;

void RecordingRun::DoTheChart() {
    chart::DoTheChart(*m_c.Chart1);
}

void RecordingRun::Command1_Click() {
    DoTheChart();
    m_c.Command(2)->setEnabled(true);
    m_c.Command(1)->setEnabled(false);
    // Axis limits, trace, statistics, rate counters and the panel's length start afresh.
    m_processor.startRun();
    pushTraceToChart();
    m_pendingPanel.clear();
    m_pendingClear = false;
    m_c.Text1->clear();

    if (!m_port->isOpen()) {
        const int portNumber =
            static_cast<int>(common::numberAtStart(m_c.List(1)->selectedText().toStdString()));
        const acquisition::OpenResult opened = m_port->open(portNumber);
        if (!opened) {
            m_messages.warn(
                QStringLiteral("serial"),
                QStringLiteral("The QEL unit's serial port %1 could not be opened.\n\n%2\n\n"
                               "Check that the unit is plugged in, that no other program uses the "
                               "port and that you may use it (group dialout), then press Stop "
                               "and Start again.")
                    .arg(QString::number(portNumber), opened.describe()));
        } else if (!openRecordFile()) {
            m_port->close();
        } else {
            setConnected(true);
        }
    }
    if (!m_log.write(m_port->isOpen() ? logmsg::kSerialEstablished : logmsg::kSerialFailed))
        m_messages.warn(
            QStringLiteral("event log"),
            QStringLiteral("The event log \"%1\" could not be written: %2.")
                .arg(QString::fromStdString(m_log.path()), QString::fromStdString(m_log.lastError())));

    startPidTimer();
    m_c.Chart1->setVisible(true);
    m_c.Command(3)->setVisible(true);
}

void RecordingRun::Command2_Click() {
    m_c.Command(1)->setEnabled(true);
    m_c.Command(2)->setEnabled(false);
    m_timer1->stop();
    flushPanel();
    if (m_port->isOpen()) {
        m_port->close();
        m_recordWriter.close(); // the lines still queued are written before the file is closed
        setConnected(false);
    }
}

bool RecordingRun::openRecordFile() {
    const std::string name = QFile::encodeName(m_c.Text3->text()).toStdString();
    auto opened = acquisition::RecordFile::open(name);
    if (opened.file) {
        m_recordWriter.open(std::move(opened.file), name);
        return true;
    }
    m_recordWriter.close();
    if (!isChecked(m_c.Check(4)))
        return true; // nothing to record now; tried again when "Record to File" is checked
    m_messages.warn(
        QStringLiteral("record file"),
        QStringLiteral("The record file could not be opened, so recording was not started.\n\n%1\n\n"
                       "Correct the name in \"Output File:\" (directory %2) and press Stop and "
                       "Start again.")
            .arg(QString::fromStdString(opened.error), QDir::toNativeSeparators(QDir::currentPath())));
    return false;
}

void RecordingRun::recordOptionChanged() {
    if (m_port->isOpen() && !m_recordWriter.isOpen() && isChecked(m_c.Check(4)))
        openRecordFile();
}

void RecordingRun::setConnected(bool connected) {
    setIndicator(m_c.Label(3), connected ? colour::kGreen : colour::kRed);
    const QString device = m_port->deviceDescription();
    m_c.Label(3)->setToolTip(device);
    m_c.Label(16)->setToolTip(connected ? QStringLiteral("Connected to ") + device
                                        : QStringLiteral("Not connected; last port: ") + device);
}

void RecordingRun::startPidTimer() {
    if (m_c.Check(5)->checkState() != Qt::Checked) {
        m_timer1->stop();
        return;
    }
    const double rate = common::numberAtStart(m_c.List(4)->selectedText().toStdString());
    if (rate <= 0.0) {
        m_timer1->stop();
        m_messages.warn(QStringLiteral("pid"), QStringLiteral("PID control is enabled but no control rate is "
                                                              "selected, so the controller does not run.\n\n"
                                                              "Choose a \"Control Rate\" and press Stop and "
                                                              "Start again."));
        return;
    }
    m_timer1->setInterval(static_cast<int>(std::lround(1000.0 / rate)));
    m_timer1->start();
}

void RecordingRun::pushTraceToChart() {
    m_c.Chart1->region(1).lineSeries(1).setData(m_processor.sweep().state().displayBuffer);
    m_c.Chart1->draw(false);
}

void RecordingRun::onReceived(const QByteArray& bytes) {
    m_versionText = m_c.List(3)->selectedText().toStdString();
    acquisition::AcquisitionOptions options;
    options.versionText = m_versionText;
    options.check1Checked = isChecked(m_c.Check(1));
    options.check2Checked = isChecked(m_c.Check(2));
    options.check3Enabled = m_c.Check(3)->isEnabled();
    options.check3Checked = isChecked(m_c.Check(3));
    options.check4Checked = isChecked(m_c.Check(4));

    ChunkOutputs chunk;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    m_processor.processReceived(std::span(data, static_cast<std::size_t>(bytes.size())), options,
                                m_recordWriter.isOpen() ? &m_recordWriter : nullptr,
                                [&](const acquisition::ReadingOutputs& out) { applyReading(out, chunk); });

    // The window takes the chunk's outputs in one go: labels now, the panel and the chart at the next
    // screen refresh.
    if (const QString heading = text(chunk.heading); !heading.isEmpty() && m_c.Label(4)->text() != heading)
        m_c.Label(4)->setText(heading);
    if ((m_pendingClear || !m_pendingPanel.isEmpty()) && !m_panelTimer->isActive())
        m_panelTimer->start();
    if (chunk.traceChanged) {
        m_c.Label(5)->setText(text(chunk.statisticsLabel));
        m_c.Chart1->textBox(2).setText(text(chunk.statisticsCaption));
        pushTraceToChart();
    } else if (chunk.charted) {
        m_c.Chart1->draw(false); // the rate caption changed at a sweep boundary
    }
    if (!chunk.recordReport.empty())
        m_messages.warn(QStringLiteral("record file"), text(chunk.recordReport));
}

// The texts of a reading are only valid until the next one: what the chunk needs later is copied.
void RecordingRun::applyReading(const acquisition::ReadingOutputs& out, ChunkOutputs& chunk) {
    if (chunk.heading.empty())
        chunk.heading = out.heading; // Check2 is the same for every reading of a chunk
    if (!out.recordReport.empty())
        chunk.recordReport = out.recordReport;
    if (!out.liveLine.empty()) {
        m_pendingPanel += QLatin1Char('\n');
        m_pendingPanel += text(out.liveLine);
    }
    if (out.clearPanel) {
        m_pendingClear = true;
        m_pendingPanel.clear();
    }
    if (out.chart.rate == acquisition::ChartRate::None)
        return;
    chunk.charted = true;
    chart::Chart& chart = *m_c.Chart1;
    chart.textBox(1).setText(text(out.chart.rateCaption));
    using Limit = acquisition::AxisChange::Limit;
    if (out.chart.axis.limit == Limit::Minimum)
        chart.region(1).valueAxis(1).setMinimum(out.chart.axis.value);
    else if (out.chart.axis.limit == Limit::Maximum)
        chart.region(1).valueAxis(1).setMaximum(out.chart.axis.value);
    if (out.chart.traceChanged) {
        chunk.traceChanged = true;
        chunk.statisticsLabel = out.chart.statisticsLabel;
        chunk.statisticsCaption = out.chart.statisticsCaption;
    }
}

void RecordingRun::flushPanel() {
    m_panelTimer->stop();
    if (m_pendingClear)
        m_c.Text1->clear();
    if (!m_pendingPanel.isEmpty()) {
        // Append at the end without rewriting the panel; the panel then scrolls to its end.
        QTextCursor cursor(m_c.Text1->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(m_pendingPanel);
    }
    m_pendingPanel.clear();
    m_pendingClear = false;
}

void RecordingRun::showRecordReports() {
    for (const std::string& report : m_recordWriter.takeReports())
        m_messages.warn(QStringLiteral("record file"), text(report));
}

void RecordingRun::onLinkLost(const QString& reason) {
    m_recordWriter.close(); // every line received so far goes to the file
    setConnected(false);
    m_messages.warn(QStringLiteral("serial"),
                    QStringLiteral("The link to the QEL unit on %1 was lost: %2.\n\n"
                                   "Every reading received until then is in the record file. Check the cable "
                                   "and the unit, then press Stop and Start to record again.")
                        .arg(m_port->device(), reason));
}

} // namespace app
