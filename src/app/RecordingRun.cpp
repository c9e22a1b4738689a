// Start, Stop and the life of the port and the record file in between; received bytes to the outputs.
#include "app/RecordingRun.h"

#include "acquisition/RecordFile.h"
#include "app/LiveDisplay.h"
#include "app/OperatorMessages.h"
#include "app/RecordingOptions.h"
#include "chart/Chart.h"
#include "widgets/IndicatorSquare.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"
#include "widgets/Utf8Text.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace app {

namespace {
const QString kSerialTopic = QStringLiteral("serial");
} // namespace

RecordingRun::RecordingRun(const Form1Controls& controls, const common::Clock& clock,
                           const common::TimeStampFormatter& formatter, EventLog& log,
                           OperatorMessages& messages, QObject* parent)
    : QObject(parent)
    , m_c(controls)
    , m_clock(clock)
    , m_log(log)
    , m_messages(messages)
    , m_processor(clock, formatter)
    , m_display(new LiveDisplay(controls, this))
    , m_options(new RecordingOptions(controls, m_processor, this))
    , m_port(std::make_unique<acquisition::SerialLink>())
    , m_reconnect(new QTimer(this))
    , m_recordWriter([this] {
        // On the writer thread: the reports are shown on the UI thread.
        QMetaObject::invokeMethod(this, &RecordingRun::showRecordReports, Qt::QueuedConnection);
    }) {
    m_port->setObjectName(QStringLiteral("CommPort1"));
    connect(m_port.get(), &acquisition::SerialLink::received, this, &RecordingRun::onReceived);
    connect(m_port.get(), &acquisition::SerialLink::linkLost, this, &RecordingRun::onLinkLost);
    connect(m_options, &RecordingOptions::recordToFileChanged, this, &RecordingRun::onRecordToFileChanged);
    m_reconnect->setObjectName(QStringLiteral("reconnect timer"));
    m_reconnect->setInterval(LinkRecovery::retryInterval);
    connect(m_reconnect, &QTimer::timeout, this, &RecordingRun::tryReopen);
}

RecordingRun::~RecordingRun() = default;

void RecordingRun::DoTheChart() {
    m_display->DoTheChart();
}

void RecordingRun::Command1_Click() {
    DoTheChart();
    m_c.Command(2)->setEnabled(true);
    m_c.Command(1)->setEnabled(false);
    // Axis limits, trace, statistics, rate counters and the panel's length start afresh.
    m_processor.startRun();
    m_display->startRun(m_processor.sweep().state().displayBuffer);

    if (!m_port->isOpen()) {
        m_portNumber = static_cast<int>(m_c.List(1)->selectedNumber());
        m_recordFileName = m_c.Text3->text();
        const acquisition::OpenResult opened = m_port->open(m_portNumber);
        if (!opened) {
            m_messages.warn(
                kSerialTopic,
                QStringLiteral("The QEL unit's serial port %1 could not be opened.\n\n%2\n\n"
                               "Check that the unit is plugged in, that no other program uses the "
                               "port and that you may use it (group dialout), then press Stop "
                               "and Start again.")
                    .arg(QString::number(m_portNumber), opened.describe()));
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

    emit runStarted(m_port->isOpen());
    m_c.Chart1->setVisible(true);
    m_c.Command(3)->setVisible(true);
}

void RecordingRun::Command2_Click() {
    m_c.Command(1)->setEnabled(true);
    m_c.Command(2)->setEnabled(false);
    emit runStopped();
    m_display->refreshNow();
    const bool restoring = m_recovery.trying();
    if (restoring) {
        m_reconnect->stop();
        m_recovery.stopped(m_clock.now());
        m_messages.detail(kSerialTopic, widgets::fromUtf8(m_recovery.status()));
    }
    if (m_port->isOpen() || restoring) {
        m_port->close();
        closeRecordFile();
        setConnected(false);
    }
}

// The one place a record file is opened; it is closed only by closeRecordFile.
bool RecordingRun::openRecordFile() {
    const std::string name = QFile::encodeName(m_recordFileName).toStdString();
    auto opened = acquisition::RecordFile::open(name);
    if (opened.file) {
        m_recordWriter.open(std::move(opened.file), name);
        return true;
    }
    if (!m_options->recordToFile())
        return true; // nothing to record now; tried again when "Record to File" is checked
    m_messages.warn(
        QStringLiteral("record file"),
        QStringLiteral("The record file could not be opened, so recording was not started.\n\n%1\n\n"
                       "Correct the name in \"Output File:\" (directory %2) and press Stop and "
                       "Start again.")
            .arg(QString::fromStdString(opened.error), QDir::toNativeSeparators(QDir::currentPath())));
    return false;
}

void RecordingRun::closeRecordFile() {
    m_recordWriter.close(); // the lines still queued are written before the file is closed
}

// A change of Check4 while the link is open (or being restored) and no record file could be opened at Start:
// try again, under the name taken at Start.
void RecordingRun::onRecordToFileChanged() {
    if ((m_port->isOpen() || m_recovery.trying()) && !m_recordWriter.isOpen() && m_options->recordToFile())
        openRecordFile();
}

void RecordingRun::setConnected(bool connected) {
    m_c.Label3->setGreen(connected);
    const QString device = m_port->deviceDescription();
    QString label3 = device;
    QString label16 = connected ? QStringLiteral("Connected to ") + device
                                : QStringLiteral("Not connected; last port: ") + device;
    if (m_recovery.trying()) {
        const QString state = QLatin1Char('\n') + widgets::fromUtf8(m_recovery.status());
        label3 += state;
        label16 += state;
    }
    m_c.Label3->setToolTip(label3);
    m_c.Label(16)->setToolTip(label16);
}

// While the link is being restored: the tooltips and the line under the message follow each attempt.
void RecordingRun::showLinkState() {
    setConnected(false);
    m_messages.detail(kSerialTopic, widgets::fromUtf8(m_recovery.status()));
}

LinkMoment RecordingRun::now() const {
    return {std::chrono::steady_clock::now(), m_clock.now()};
}

void RecordingRun::setPosition(const QString& raText, const QString& decText) {
    m_processor.setPositionTexts(raText.toStdString(), decText.toStdString());
}

void RecordingRun::onReceived(const QByteArray& bytes) {
    std::string recordReport;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto readAt = std::chrono::steady_clock::now();
    m_processor.processReceived(
        std::span(data, static_cast<std::size_t>(bytes.size())), m_options->forNextReadings(),
        m_recordWriter.isOpen() ? &m_recordWriter : nullptr, [&](const acquisition::ReadingOutputs& out) {
            m_display->take(out);
            if (!out.recordReport.empty())
                recordReport = out.recordReport;
            emit readingDecoded(out.trackingError, readAt);
        });
    m_display->showChunk(m_processor.sweep().state().displayBuffer);
    if (!recordReport.empty())
        m_messages.warn(QStringLiteral("record file"), widgets::fromUtf8(recordReport));
}

void RecordingRun::showRecordReports() {
    for (const std::string& report : m_recordWriter.takeReports())
        m_messages.warn(QStringLiteral("record file"), widgets::fromUtf8(report));
}

void RecordingRun::onLinkLost() {
    // As Stop does: no more guide pulses from the last reading before the link went.
    emit readingsInterrupted();
    // The record file stays open through the gap: the readings after it go on into the same file, and
    // those before it are written meanwhile.
    // The system's own words after a hang-up are a stale error number ("Resource temporarily unavailable"):
    // the message says what happened instead, and names the port as the operator chose it.
    m_recovery.lost(acquisition::portForOperator(m_portNumber, m_port->device().toStdString(),
                                                 m_port->link().toStdString()),
                    now());
    setConnected(false);
    m_messages.warn(kSerialTopic, widgets::fromUtf8(m_recovery.lostMessage()));
    m_messages.detail(kSerialTopic, widgets::fromUtf8(m_recovery.status()));
    m_reconnect->start();
}

// One attempt to open the port again, by the route taken at Start. Opening a serial port does not wait; an
// attempt that fails costs a look at the link and, at most, one open() call.
void RecordingRun::tryReopen() {
    const acquisition::OpenResult opened = m_port->reopen();
    if (!opened) {
        m_recovery.attemptFailed(opened.describe().toStdString(), m_clock.now());
        showLinkState();
        return;
    }
    m_reconnect->stop();
    const std::string back =
        m_recovery.restored(acquisition::portForOperator(m_portNumber, m_port->device().toStdString(),
                                                         m_port->link().toStdString()),
                            now());
    setConnected(true);
    m_messages.inform(kSerialTopic, widgets::fromUtf8(back));
    emit readingsResumed();
}

} // namespace app
