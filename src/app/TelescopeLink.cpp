// Check2 and Check5 and what they set going: the steps of telescope::Connection carried out on the window.
#include "app/TelescopeLink.h"

#include "acquisition/ReadingProcessor.h"
#include "app/OperatorMessages.h"
#include "common/ListNumber.h"
#include "telescope/ChooserDialog.h"
#include "telescope/DriverFactory.h"
#include "telescope/indi/IndiDriver.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"

#include <QCheckBox>
#include <QTimer>

#include <memory>

namespace app {

using telescope::ConnectionAction;
using telescope::Done;
using telescope::Result;

namespace {

const QString kTopic = QStringLiteral("telescope");
const QString kPositionTopic = QStringLiteral("telescope position");

} // namespace

TelescopeLink::TelescopeLink(const Form1Controls& controls, EventLog& log, OperatorMessages& messages,
                             acquisition::ReadingProcessor& processor, QWidget* window)
    : QObject(window)
    , m_c(controls)
    , m_log(log)
    , m_messages(messages)
    , m_processor(processor)
    , m_window(window)
    , m_poll(new telescope::PositionPoll(this)) {
    setDiscoveryTargets({telescope::alpaca::broadcastTargets()});
    m_chooser = [this](const std::string& preselect) {
        return telescope::ChooserDialog::choose({m_alpaca.get(), &m_indi}, preselect, m_window);
    };
    m_makeDriver = [this](const std::string& id, std::string& problem) {
        return telescope::makeDriver(id, m_net, problem);
    };
    connect(m_poll, &telescope::PositionPoll::positionTexts, this,
            [this](const QString& ra, const QString& dec) {
                m_processor.setPositionTexts(ra.toStdString(), dec.toStdString());
            });
    connect(m_poll, &telescope::PositionPoll::readFailed, this,
            [this](const QString& message) { m_messages.warn(kPositionTopic, message); });
    connect(m_c.Check(2), &QCheckBox::stateChanged, this, &TelescopeLink::Check2_Click);
    connect(m_c.Check(5), &QCheckBox::stateChanged, this, &TelescopeLink::Check5_Click);
}

TelescopeLink::~TelescopeLink() {
    m_poll->stop();
    if (m_driver)
        m_driver->disconnect();
}

void TelescopeLink::setDiscoveryTargets(const telescope::alpaca::DiscoveryTargets& targets) {
    m_alpaca = std::make_unique<telescope::alpaca::AlpacaSource>(m_net, targets);
}

double TelescopeLink::list8Value() const {
    return common::numberAtStart(m_c.List(8)->selectedText().toStdString());
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
}

// Only the coupling with Check2 and the log lines; the control loop itself runs in the guiding code.
void TelescopeLink::Check5_Click() {
    const bool on = m_c.Check(5)->checkState() == Qt::Checked;
    m_log.write(on ? " PID Controller Enabled" : " PID Controller Disabled");
    for (int n = 4; n <= 8; ++n)
        m_c.List(n)->setEnabled(on);
    if (on)
        m_c.Check(2)->setCheckState(Qt::Checked);
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
        case ConnectionAction::WriteLog:
            m_log.write(step.text);
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
            if (m_driver)
                m_poll->start(*m_driver);
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
        }
    }
}

void TelescopeLink::createDriver(const std::string& id) {
    std::string problem;
    m_driver = m_makeDriver(id, problem);
    emit driverChanged();
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
    guideRateRa = value;
    m_driver->setGuideRateRightAscension(guideRateRa, current<Done>([pair, bothDone](const Result<Done>& r) {
                                             pair->ra = r;
                                             bothDone();
                                         }));
    guideRateDec = list8Value();
    m_driver->setGuideRateDeclination(guideRateDec, current<Done>([pair, bothDone](const Result<Done>& r) {
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
    if (!m_driver)
        return;
    m_driver->disconnect();
    // This may run inside one of the driver's own callbacks: the driver goes once that has returned.
    std::shared_ptr<telescope::Driver> dying(std::move(m_driver));
    QTimer::singleShot(0, this, [dying] {});
    emit driverChanged();
}

} // namespace app
