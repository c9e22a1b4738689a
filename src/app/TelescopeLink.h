// The window's telescope: "Connect to ASCOM Driver" (Check2), the chooser, the driver object, the guide rates
// and the position poll, and the restoring of a mount that was lost. It carries out the steps
// telescope::Connection decides; nothing here decides an order of its own. What it learns flows out one way,
// through its signals: the driver once the connection is made (for guiding) and the position texts (for the
// lines).
#pragma once

#include "app/EventLog.h"
#include "app/Form1Layout.h"
#include "telescope/Connection.h"
#include "telescope/Driver.h"
#include "telescope/PositionPoll.h"
#include "telescope/alpaca/AlpacaSource.h"
#include "telescope/guiding/GuidePulse.h"
#include "telescope/indi/IndiSource.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

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

    // How long a run of Check2 waits, the event loop running, for the device to be reached or refused: well
    // beyond every backend's own limit on reaching a device, so that the ASCOM log line is written before
    // the handler returns (the start-up order relies on it) and the window never waits for ever.
    static constexpr int kOpeningWaitMs = 15000;

    TelescopeLink(const Form1Controls& controls, EventLog& log, OperatorMessages& messages, QWidget* window);
    ~TelescopeLink() override;

    // Where the chooser's Discover button sends its probes (loopback in tests and the demo).
    void setDiscoveryTargets(const telescope::alpaca::DiscoveryTargets& targets);
    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    void setDriverMaker(DriverMaker maker) { m_makeDriver = std::move(maker); }

    // ID: the identifier last chosen (preselected by the chooser); --telescope sets it at start-up.
    const std::string& ID() const { return m_connection.id(); }
    void setID(const std::string& id) { m_connection.setId(id); }

    // The driver object while one is held (from the chooser's answer to the release), else nullptr.
    telescope::Driver* myTelescope() const { return m_driver.get(); }
    // The guide rates the pulse lengths use, as multiples of 15"/s: 0 until a connection sets them, kept
    // across disconnections.
    const telescope::GuideRates& guideRates() const { return m_rates; }
    QTimer* PositionCalc_Timer() const { return m_poll->PositionCalc_Timer(); }
    // The next attempt to restore a lost mount, while one is scheduled.
    QTimer* retryTimer() const { return m_retry; }
    const telescope::Connection& connection() const { return m_connection; }

    // Program end: releases the driver and waits, the event loop running, at most limitMs for its disconnect
    // to leave (the network goes with the window).
    void shutDown(int limitMs);

    void Check2_Click();

signals:
    // The connection is made (the guide rates are written, the position poll starts): guide this driver
    // with these rates. nullptr when it is released; the driver must not be used after that.
    void guidingDriverChanged(telescope::Driver* driver, telescope::GuideRates rates);
    // New position texts for the live and record lines ("None" after failed reads or a release).
    void positionChanged(const QString& raText, const QString& decText);
    // Every released driver has finished closing.
    void allClosed();
    // The attempt under way has reached the device or failed (for a Check2 run waiting on it).
    void openingEnded();

private:
    void apply(const telescope::ConnectionSteps& steps);
    void waitWhileOpening();
    void createDriver(const std::string& id);
    void writeGuideRates(double value);
    void readGuideRates();
    void releaseDriver();
    void closed(telescope::Driver* driver);
    void reportRestoring(const telescope::ConnectionStep& step);
    double list8Value() const;
    // Wraps a driver callback so that it is dropped once its attempt is over.
    template <typename T, typename F>
    telescope::Callback<T> current(F f);

    const Form1Controls& m_c;
    EventLog& m_log;
    OperatorMessages& m_messages;
    QWidget* m_window;
    QNetworkAccessManager m_net;
    std::unique_ptr<telescope::alpaca::AlpacaSource> m_alpaca;
    telescope::indi::IndiSource m_indi; // asks 127.0.0.1:7624 on Discover; other servers are typed by hand
    Chooser m_chooser;
    DriverMaker m_makeDriver;
    telescope::Connection m_connection;
    std::unique_ptr<telescope::Driver> m_driver;
    bool m_driverPublished = false;
    // Released drivers letting their mounts go; each is destroyed once it has closed.
    std::vector<std::unique_ptr<telescope::Driver>> m_closing;
    telescope::GuideRates m_rates;
    telescope::PositionPoll* m_poll;
    QTimer* m_retry;
    QElapsedTimer m_lostFor; // since the mount was lost
    unsigned m_attempt = 0;
};

} // namespace app
