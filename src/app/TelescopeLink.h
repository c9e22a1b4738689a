// The window's telescope: "Connect to ASCOM Driver" (Check2) and its coupling with "Enable ASCOM PID Control"
// (Check5), the chooser, the driver object, the guide rates and the position poll. It carries out the steps
// telescope::Connection decides; nothing here decides an order of its own.
#pragma once

#include "app/EventLog.h"
#include "app/Form1Layout.h"
#include "telescope/Connection.h"
#include "telescope/Driver.h"
#include "telescope/PositionPoll.h"
#include "telescope/alpaca/AlpacaSource.h"
#include "telescope/indi/IndiSource.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace acquisition {
class ReadingProcessor;
}

namespace app {

class OperatorMessages;

class TelescopeLink : public QObject {
    Q_OBJECT
public:
    // The modal chooser: returns the identifier chosen, empty when cancelled.
    using Chooser = std::function<std::string(const std::string& preselect)>;
    // Makes the (unopened) driver for an identifier, or nothing with the reason in problem.
    using DriverMaker =
        std::function<std::unique_ptr<telescope::Driver>(const std::string& id, std::string& problem)>;

    TelescopeLink(const Form1Controls& controls, EventLog& log, OperatorMessages& messages,
                  acquisition::ReadingProcessor& processor, QWidget* window);
    ~TelescopeLink() override;

    // Where the chooser's Discover button sends its probes (loopback in tests and the demo).
    void setDiscoveryTargets(const telescope::alpaca::DiscoveryTargets& targets);
    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    void setDriverMaker(DriverMaker maker) { m_makeDriver = std::move(maker); }

    // ID: the identifier last chosen (preselected by the chooser); --telescope sets it at start-up.
    const std::string& ID() const { return m_connection.id(); }
    void setID(const std::string& id) { m_connection.setId(id); }

    telescope::Driver* myTelescope() const { return m_driver.get(); }
    QTimer* PositionCalc_Timer() const { return m_poll->PositionCalc_Timer(); }
    const telescope::Connection& connection() const { return m_connection; }

    // The guide rates the pulse lengths use, as multiples of 15"/s; 0 until a connection sets them.
    double guideRateRa = 0;
    double guideRateDec = 0;

    void Check2_Click();
    void Check5_Click();

signals:
    // myTelescope was made or released: calls still out to the old driver will not be answered.
    void driverChanged();

private:
    void apply(const telescope::ConnectionSteps& steps);
    void createDriver(const std::string& id);
    void writeGuideRates(double value);
    void readGuideRates();
    void releaseDriver();
    double list8Value() const;
    // Wraps a driver callback so that it is dropped once its attempt is over.
    template <typename T, typename F>
    telescope::Callback<T> current(F f);

    const Form1Controls& m_c;
    EventLog& m_log;
    OperatorMessages& m_messages;
    acquisition::ReadingProcessor& m_processor;
    QWidget* m_window;
    QNetworkAccessManager m_net;
    std::unique_ptr<telescope::alpaca::AlpacaSource> m_alpaca;
    telescope::indi::IndiSource m_indi; // asks 127.0.0.1:7624 on Discover; other servers are typed by hand
    Chooser m_chooser;
    DriverMaker m_makeDriver;
    telescope::Connection m_connection;
    std::unique_ptr<telescope::Driver> m_driver;
    telescope::PositionPoll* m_poll;
    unsigned m_attempt = 0;
};

} // namespace app
