// The window's side of guiding: inputs from the controls, the unpark box, and the operator's messages.
#include "app/GuideLoop.h"

#include "acquisition/SerialLink.h"
#include "acquisition/TrackingError.h"
#include "app/EventLog.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "common/ListNumber.h"
#include "common/ProgramInfo.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>

namespace app {

namespace {

double listNumber(const Form1Controls& c, int n) {
    return common::numberAtStart(c.List(n)->selectedText().toStdString());
}

} // namespace

GuideLoop::GuideLoop(const Form1Controls& controls, RecordingRun& run, EventLog& log,
                     OperatorMessages& messages, QWidget* window)
    : QObject(window)
    , m_c(controls)
    , m_run(run)
    , m_log(log)
    , m_messages(messages)
    , m_window(window)
    , m_output(
          [this](std::function<void(bool)> answer) {
              // Not exec(): the serial line, the clock and the chart keep running while the question is open.
              auto* box = new QMessageBox(
                  QMessageBox::Question, QString::fromUtf8(common::programTitle.data()),
                  QStringLiteral("Unpark Scope?"), QMessageBox::Yes | QMessageBox::No, m_window);
              box->setAttribute(Qt::WA_DeleteOnClose);
              connect(box, &QMessageBox::finished, this,
                      [box, answer](int) { answer(box->clickedButton() == box->button(QMessageBox::Yes)); });
              m_unparkBox = box;
              box->open();
          },
          [this](const std::string& message) {
              m_messages.warn(QStringLiteral("guiding"), QString::fromStdString(message));
              showStatus();
          }) {
    m_clock.start();
    connect(m_run.Timer1(), &QTimer::timeout, this, &GuideLoop::Timer1_Timer);
    connect(&m_run.CommPort1(), &acquisition::SerialLink::received, this, &GuideLoop::readingArrived);
}

GuideLoop::~GuideLoop() = default;

void GuideLoop::setTelescope(std::function<telescope::Driver*()> driver,
                             std::function<telescope::GuideRates()> rates) {
    m_driver = std::move(driver);
    m_rates = std::move(rates);
    driverChanged();
}

void GuideLoop::driverChanged() {
    m_lastDriver = m_driver ? m_driver() : nullptr;
    m_output.setDriver(m_lastDriver);
}

QMessageBox* GuideLoop::unparkBox() const {
    return m_unparkBox;
}

void GuideLoop::readingArrived() {
    m_lastReadingAt = now();
}

void GuideLoop::Timer1_Timer() {
    if (m_run.Timer1()->interval() <= 0)
        return; // no control period before the first Start
    if (m_driver && m_driver() != m_lastDriver)
        driverChanged();
    telescope::TickInputs in;
    in.now = now();
    const std::string& text = m_run.processor().state().lastSampleText;
    if (m_lastReadingAt && !text.empty())
        in.reading = telescope::LatestReading{acquisition::DecodeTrackingError(text), *m_lastReadingAt};
    in.intervalMs = m_run.Timer1()->interval();
    in.gains = {listNumber(m_c, 5), listNumber(m_c, 6), listNumber(m_c, 7)};
    in.rates = m_rates ? m_rates() : telescope::GuideRates{};
    const int skippedBefore = m_controller.skippedTicks();
    const telescope::TickDecision d = telescope::guideTick(m_controller, m_output, in);
    if (!d.notice.empty()) {
        m_log.write(" " + d.notice);
        m_messages.inform(QStringLiteral("guiding"), QString::fromStdString(d.notice));
    }
    if (m_controller.skippedTicks() != skippedBefore)
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
