// Check2 and what it sets going: the steps of telescope::Connection carried out on the window.
#include "app/TelescopeLink.h"

#include "app/OperatorMessages.h"
#include "telescope/ChooserDialog.h"
#include "telescope/DriverFactory.h"
#include "telescope/indi/IndiDriver.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

namespace app {

using telescope::ConnectionAction;
using telescope::ConnectionStage;
using telescope::Done;
using telescope::Result;

namespace {

const QString kTopic = QStringLiteral("telescope");
const QString kNone = QStringLiteral("None");

} // namespace

TelescopeLink::TelescopeLink(const Form1Controls& controls, EventLog& log, OperatorMessages& messages,
                             QWidget* window)
    : QObject(window)
    , m_c(controls)
    , m_log(log)
    , m_messages(messages)
    , m_window(window)
    , m_poll(new telescope::PositionPoll(this))
    , m_retry(new QTimer(this)) {
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, [this] { apply(m_connection.retryDue()); });
    setDiscoveryTargets({telescope::alpaca::broadcastTargets()});
    m_chooser = [this](const std::string& preselect) {
        return telescope::ChooserDialog::choose({m_alpaca.get(), &m_indi}, preselect, m_window);
    };
    m_makeDriver = [this](const std::string& id, std::string& problem) {
        return telescope::makeDriver(id, m_net, problem);
    };
    connect(m_poll, &telescope::PositionPoll::positionTexts, this, &TelescopeLink::positionChanged);
    connect(m_poll, &telescope::PositionPoll::mountLost, this,
            [this](const QString& reason) { apply(m_connection.mountLost(reason.toStdString())); });
    connect(m_c.Check(2), &QCheckBox::stateChanged, this, &TelescopeLink::Check2_Click);
}

TelescopeLink::~TelescopeLink() {
    // Without shutDown() the mount is still told to let go, but nothing waits for the command to leave.
    m_poll->stop();
    if (m_driver)
        m_driver->close([] {});
}

void TelescopeLink::setDiscoveryTargets(const telescope::alpaca::DiscoveryTargets& targets) {
    m_alpaca = std::make_unique<telescope::alpaca::AlpacaSource>(m_net, targets);
}

double TelescopeLink::list8Value() const {
    return m_c.List(8)->selectedNumber();
}

template <typename T, typename F>
telescope::Callback<T> TelescopeLink::current(F f) {
    return [this, attempt = m_attempt, f = std::move(f)](const Result<T>& r) {
        if (attempt == m_attempt)
            f(r);
    };
}

void TelescopeLink::Check2_Click() {
    apply(m_connection.check2Changed(m_c.Check(2)->checkState() == Qt::Checked));
    waitWhileOpening();
}

// A checked run of the box returns once the device has been reached or refused, like the synchronous
// connection the window's order is built on: its log line comes before whatever the caller does next (the
// settings load goes on with Check5). The event loop runs meanwhile, so readings, the clock and a click
// that clears the box go on; the wait ends with the attempt.
void TelescopeLink::waitWhileOpening() {
    if (m_connection.stage() != ConnectionStage::Opening)
        return;
    // At start-up (a telescope in the settings) the window is not up yet: it is shown now, so that the
    // operator sees the program waiting, not nothing.
    if (m_window && !m_window->isVisible())
        m_window->show();
    QEventLoop loop;
    QTimer::singleShot(kOpeningWaitMs, &loop, &QEventLoop::quit);
    const auto ended = connect(this, &TelescopeLink::openingEnded, &loop, &QEventLoop::quit);
    loop.exec();
    disconnect(ended);
}

void TelescopeLink::apply(const telescope::ConnectionSteps& steps) {
    for (const telescope::ConnectionStep& step : steps) {
        switch (step.action) {
        case ConnectionAction::ReleaseDriver:
            releaseDriver();
            break;
        case ConnectionAction::OpenChooser:
            apply(m_connection.chooserClosed(m_chooser(step.text)));
            break;
        case ConnectionAction::CreateDriver:
            createDriver(step.text);
            break;
        case ConnectionAction::LogEstablished:
            m_log.write(std::string(logmsg::kAscomEstablished) + step.text);
            break;
        case ConnectionAction::LogFailed:
            m_log.write(std::string(logmsg::kAscomFailed) + step.text);
            break;
        case ConnectionAction::ClearCheck2:
            m_c.Check(2)->setCheckState(Qt::Unchecked);
            break;
        case ConnectionAction::ClearCheck5:
            m_c.Check(5)->setCheckState(Qt::Unchecked);
            break;
        case ConnectionAction::StopPoll:
            m_poll->stop();
            break;
        case ConnectionAction::StartPoll:
            if (m_driver) {
                m_poll->start(*m_driver);
                m_driverPublished = true;
                emit guidingDriverChanged(m_driver.get(), m_rates);
            }
            break;
        case ConnectionAction::ConnectMount:
            m_driver->connect(
                current<Done>([this](const Result<Done>& r) { apply(m_connection.mountConnected(r)); }));
            break;
        case ConnectionAction::ReadCanSetGuideRates:
            m_driver->canSetGuideRates(current<bool>([this](const Result<bool>& r) {
                apply(m_connection.canSetGuideRatesRead(r, list8Value()));
            }));
            break;
        case ConnectionAction::WriteGuideRates:
            writeGuideRates(step.value);
            break;
        case ConnectionAction::ReadGuideRates:
            readGuideRates();
            break;
        case ConnectionAction::HideList8:
            m_c.List(8)->hide();
            break;
        case ConnectionAction::TellOperator:
            m_messages.warn(kTopic, QString::fromStdString(step.text));
            break;
        case ConnectionAction::MarkSettingsChanged:
            // The settings binder watches Check2 itself and has already turned the indicator red.
            break;
        case ConnectionAction::ScheduleRetry:
            m_retry->start(static_cast<int>(step.value * 1000));
            break;
        case ConnectionAction::CancelRetry:
            m_retry->stop();
            m_c.Check(2)->setToolTip(QString());
            break;
        case ConnectionAction::ReportLost:
        case ConnectionAction::ReportRetryFailed:
        case ConnectionAction::ReportRestored:
            reportRestoring(step);
            break;
        }
    }
    if (m_connection.stage() != ConnectionStage::Opening)
        emit openingEnded();
}

void TelescopeLink::createDriver(const std::string& id) {
    std::string problem;
    m_driver = m_makeDriver(id, problem);
    if (!m_driver) {
        apply(m_connection.driverOpened(Result<Done>::failed({telescope::failureMalformed, problem})));
        return;
    }
    // An INDI mount also speaks unasked: Alerts no call waited for, its own warnings, the server going away.
    if (auto* indi = dynamic_cast<telescope::indi::IndiDriver*>(m_driver.get()))
        indi->setNoticeHandler(
            [this](const std::string& text) { m_messages.warn(kTopic, QString::fromStdString(text)); });
    m_driver->open(current<Done>([this](const Result<Done>& r) { apply(m_connection.driverOpened(r)); }));
}

void TelescopeLink::writeGuideRates(double value) {
    struct Pair {
        std::optional<Result<Done>> ra, dec;
    };
    auto pair = std::make_shared<Pair>();
    auto bothDone = [this, pair] {
        if (pair->ra && pair->dec)
            apply(m_connection.guideRatesWritten(*pair->ra, *pair->dec));
    };
    // Both rates get List8's number, read once for each as the rate list is read for each write.
    m_rates.ra = value;
    m_driver->setGuideRateRightAscension(m_rates.ra, current<Done>([pair, bothDone](const Result<Done>& r) {
                                             pair->ra = r;
                                             bothDone();
                                         }));
    m_rates.dec = list8Value();
    m_driver->setGuideRateDeclination(m_rates.dec, current<Done>([pair, bothDone](const Result<Done>& r) {
                                          pair->dec = r;
                                          bothDone();
                                      }));
}

void TelescopeLink::readGuideRates() {
    struct Pair {
        std::optional<Result<double>> ra, dec;
    };
    auto pair = std::make_shared<Pair>();
    auto bothDone = [this, pair] {
        if (pair->ra && pair->dec)
            apply(m_connection.guideRatesRead(*pair->ra, *pair->dec));
    };
    m_driver->guideRateRightAscension(current<double>([pair, bothDone](const Result<double>& r) {
        pair->ra = r;
        bothDone();
    }));
    m_driver->guideRateDeclination(current<double>([pair, bothDone](const Result<double>& r) {
        pair->dec = r;
        bothDone();
    }));
}

void TelescopeLink::releaseDriver() {
    ++m_attempt;
    m_poll->stop();
    if (std::exchange(m_driverPublished, false)) {
        emit guidingDriverChanged(nullptr, m_rates);
        emit positionChanged(kNone, kNone);
    }
    if (!m_driver)
        return;
    // The driver lives on until its mount has been let go: destroying it sooner would cut the command off.
    // This may run inside one of the driver's own callbacks, so it goes only once that has returned.
    telescope::Driver* driver = m_driver.get();
    m_closing.push_back(std::move(m_driver));
    driver->close([this, driver] { QTimer::singleShot(0, this, [this, driver] { closed(driver); }); });
}

// What the operator sees while a lost mount is restored: the message under "telescope" (raised when the mount
// is lost and when it is back, brought up to date in between) and Check2's tooltip, so that whoever comes
// back to the telescope sees what happened while away.
void TelescopeLink::reportRestoring(const telescope::ConnectionStep& step) {
    const std::string id = m_connection.id();
    const std::string now = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
    switch (step.action) {
    case ConnectionAction::ReportLost:
        m_lostFor.start();
        m_messages.warn(kTopic, QString::fromStdString(telescope::mountLostText(id, step.text)));
        m_c.Check(2)->setToolTip(QStringLiteral("Reconnecting to %1 by itself: first attempt in 1 s.")
                                     .arg(QString::fromStdString(id)));
        break;
    case ConnectionAction::ReportRetryFailed: {
        const QString state =
            QString::fromStdString(telescope::retryStateText(static_cast<int>(step.value), now, step.text));
        m_messages.detail(kTopic, state);
        m_c.Check(2)->setToolTip(
            QStringLiteral("Reconnecting to %1 by itself. %2").arg(QString::fromStdString(id), state));
        break;
    }
    default:
        m_messages.warn(kTopic, QString::fromStdString(telescope::mountRestoredText(
                                    id, now, std::chrono::milliseconds(m_lostFor.elapsed()))));
        m_c.Check(2)->setToolTip(QString());
        break;
    }
}

void TelescopeLink::closed(telescope::Driver* driver) {
    std::erase_if(m_closing, [driver](const auto& d) { return d.get() == driver; });
    if (m_closing.empty())
        emit allClosed();
}

void TelescopeLink::shutDown(int limitMs) {
    releaseDriver();
    if (m_closing.empty())
        return;
    QEventLoop loop;
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    connect(this, &TelescopeLink::allClosed, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace app
