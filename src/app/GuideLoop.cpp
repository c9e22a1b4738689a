// The window's side of guiding: Check5, Timer1, the unpark box, and the operator's messages.
#include "app/GuideLoop.h"

#include "acquisition/RecordFile.h"
#include "app/EventLog.h"
#include "app/OperatorMessages.h"
#include "common/ProgramInfo.h"
#include "telescope/guiding/GuideLog.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"
#include "widgets/Utf8Text.h"

#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <cmath>
#include <memory>

namespace app {

namespace {
const QString kTopic = QStringLiteral("guiding");
} // namespace

GuideLoop::GuideLoop(const Form1Controls& controls, const common::Clock& clock,
                     const common::TimeStampFormatter& stamps, EventLog& log, OperatorMessages& messages,
                     QWidget* window)
    : QObject(window)
    , m_c(controls)
    , m_clock(clock)
    , m_stamps(stamps)
    , m_log(log)
    , m_messages(messages)
    , m_window(window)
    , m_timer1(new QTimer(this))
    , m_output(
          [this](std::function<void(bool)> answer) {
              // Not exec(): the serial line, the clock and the chart keep running while the question is open.
              auto* box = new QMessageBox(QMessageBox::Question, widgets::fromUtf8(common::programTitle),
                                          QStringLiteral("Unpark Scope?"), QMessageBox::Yes | QMessageBox::No,
                                          m_window);
              box->setAttribute(Qt::WA_DeleteOnClose);
              connect(box, &QMessageBox::finished, this,
                      [box, answer](int) { answer(box->clickedButton() == box->button(QMessageBox::Yes)); });
              m_unparkBox = box;
              box->open();
          },
          [this](const std::string& message) { tellError(message); }) {
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &GuideLoop::Timer1_Timer);
    connect(m_c.Check(5), &QCheckBox::stateChanged, this, &GuideLoop::Check5_Click);
}

GuideLoop::~GuideLoop() = default;

QMessageBox* GuideLoop::unparkBox() const {
    return m_unparkBox;
}

std::chrono::milliseconds GuideLoop::steadyMs(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
}

void GuideLoop::Check5_Click() {
    m_pidOn = m_c.Check(5)->checkState() == Qt::Checked; // greyed, from a settings load, counts as clear
    m_log.write(m_pidOn ? logmsg::kPidEnabled : logmsg::kPidDisabled);
    for (int n = 4; n <= 8; ++n)
        m_c.List(n)->setEnabled(m_pidOn);
    if (!m_pidOn) {
        // Switched off means no pulse from now on: the tick under way sends nothing more, and an open unpark
        // question is answered No. The controller's memory is kept for when it is switched on again.
        m_output.cancel();
        if (m_unparkBox)
            m_unparkBox->done(QMessageBox::No);
    } else if (m_runActive && m_intervalMs <= 0) {
        warnNoControlRate();
    }
    updateTimer();
    if (m_pidOn)
        m_c.Check(2)->setCheckState(Qt::Checked); // connects, nested here, when not connected yet
}

void GuideLoop::runStarted(bool linkOpen) {
    m_runActive = true;
    m_linkOpen = linkOpen;
    // Taken at every Start, so that PID control switched on later in the run ticks at the rate chosen.
    const double rate = m_c.List(4)->selectedNumber();
    m_intervalMs = rate > 0 ? static_cast<int>(std::lround(1000.0 / rate)) : 0;
    if (m_pidOn && m_intervalMs <= 0)
        warnNoControlRate();
    updateTimer();
}

void GuideLoop::warnNoControlRate() {
    m_messages.warn(QStringLiteral("pid"),
                    QStringLiteral("PID control is enabled but the run was started "
                                   "without a control rate, so the controller does not "
                                   "run.\n\nChoose a \"Control Rate\" and press Stop "
                                   "and Start again."));
}

void GuideLoop::runStopped() {
    m_runActive = false;
    updateTimer();
}

void GuideLoop::readingsInterrupted() {
    // No more guide pulses from the last reading before the link went.
    m_linkOpen = false;
    updateTimer();
}

void GuideLoop::readingsResumed() {
    if (!m_runActive)
        return;
    m_linkOpen = true;
    updateTimer();
}

void GuideLoop::updateTimer() {
    const bool ticking = m_runActive && m_linkOpen && m_pidOn && m_intervalMs > 0;
    if (!ticking)
        m_timer1->stop();
    else if (!m_timer1->isActive() || m_timer1->interval() != m_intervalMs)
        m_timer1->start(m_intervalMs);
}

void GuideLoop::readingDecoded(double trackingError, std::chrono::steady_clock::time_point at) {
    m_latest = telescope::LatestReading{trackingError, steadyMs(at)};
}

void GuideLoop::setDriver(telescope::Driver* driver, telescope::GuideRates rates) {
    m_output.setDriver(driver);
    m_rates = rates;
}

void GuideLoop::Timer1_Timer() {
    if (m_intervalMs <= 0)
        return;
    telescope::TickInputs in;
    in.now = steadyMs(std::chrono::steady_clock::now());
    in.reading = m_latest;
    in.intervalMs = m_intervalMs;
    // Read afresh at every tick: a gain changed now takes effect at this tick.
    in.gains = {m_c.List(5)->selectedNumber(), m_c.List(6)->selectedNumber(), m_c.List(7)->selectedNumber()};
    in.rates = m_rates;
    const int skippedBefore = m_controller.skippedTicks();
    // The guide log's line is written once the tick's fate is known: at once, or when the mount has
    // answered for its RA pulse (which a driver may do inside the tick itself).
    struct Line {
        std::string stamp, fields, outcome;
        bool formed = false;
    };
    const auto line = std::make_shared<Line>();
    telescope::GuideOutput::FateKnown fate;
    if (m_guideLog) {
        line->stamp = m_stamps.stamp(m_clock.now());
        fate = [this, line](const telescope::PulseFate& f) {
            line->outcome = telescope::fateOutcome(f);
            if (line->formed)
                writeGuideLog(line->stamp + " " + line->fields + line->outcome);
        };
    }
    const telescope::TickDecision d = telescope::guideTick(m_controller, m_output, in, std::move(fate));
    if (m_guideLog) {
        line->fields = telescope::guideLogFields(d, in.reading, in.rates);
        line->formed = true;
        if (d.outcome != telescope::TickOutcome::Send)
            line->outcome = telescope::skippedOutcome(d.outcome);
        if (!line->outcome.empty())
            writeGuideLog(line->stamp + " " + line->fields + line->outcome);
    }
    if (!d.notice.empty())
        m_messages.inform(kTopic, QString::fromStdString(d.notice));
    if (m_controller.skippedTicks() != skippedBefore)
        showStatus();
}

QString GuideLoop::openGuideLog(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    auto opened = acquisition::RecordFile::open(name);
    if (!opened.file)
        return QStringLiteral("The guide log could not be opened, so no guide log is written.\n\n%1")
            .arg(QString::fromStdString(opened.error));
    m_guideLog = std::make_unique<acquisition::RecordWriter>([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (const std::string& report : m_guideLog->takeReports())
                    m_messages.warn(QStringLiteral("guide log"), widgets::fromUtf8(report));
            },
            Qt::QueuedConnection);
    });
    m_guideLog->open(std::move(opened.file), name);
    return {};
}

void GuideLoop::writeGuideLog(const std::string& line) {
    const auto written = m_guideLog->writeLine(line);
    if (!written.report.empty())
        m_messages.warn(QStringLiteral("guide log"), widgets::fromUtf8(written.report));
}

void GuideLoop::tellError(const std::string& message) {
    // A refusal that repeats at every tick is shown once; pulses that went through in between make it news
    // again.
    if (message == m_toldError && m_output.ticksSent() == m_sentWhenTold) {
        m_messages.repeated(kTopic);
    } else {
        m_toldError = message;
        m_sentWhenTold = m_output.ticksSent();
        m_messages.warn(kTopic, QString::fromStdString(message));
    }
    showStatus();
}

void GuideLoop::showStatus() {
    QString status = QStringLiteral("Ticks skipped while the mount was still answering: %1")
                         .arg(m_controller.skippedTicks());
    if (!m_output.latestError().empty())
        status += QStringLiteral("\nLatest error: ") + QString::fromStdString(m_output.latestError());
    m_c.Check(5)->setToolTip(status);
}

} // namespace app
