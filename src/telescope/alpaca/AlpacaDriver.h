// A telescope reached over ASCOM Alpaca (HTTP/JSON): the Driver interface over one device of an Alpaca
// server. Made by the driver factory from an "alpaca://host:port/telescope/n" identifier.
#pragma once

#include "telescope/Driver.h"
#include "telescope/DriverId.h"
#include "telescope/alpaca/AlpacaClient.h"

#include <QObject>

namespace telescope::alpaca {

// Time limits of one call, in milliseconds.
struct Timeouts {
    int read = 5000;          // reads and quick writes
    int connect = 60000;      // Connected = true may wait for the mount's start-up
    int longWrite = 100000;   // unpark: many drivers answer only when the mount has moved
    int pulseMargin = 10000;  // a pulse guide may be answered only after its duration: duration + this
    int connectingPoll = 200; // interface 4: how often "connecting" is asked while connecting
};

// Guide rates: the Driver's multiples of 15"/s against the device's degrees per second.
double degreesPerSecond(double multiple);
double multipleOf15(double degreesPerSecond);

class AlpacaDriver : public QObject, public Driver {
    Q_OBJECT
public:
    // net must outlive the driver. id.backend must be Alpaca.
    AlpacaDriver(const DriverId& id, QNetworkAccessManager& net, Timeouts timeouts = {},
                 QObject* parent = nullptr);
    ~AlpacaDriver() override;

    std::string id() const override;
    // Reads InterfaceVersion: an answer proves a telescope with this number; HTTP 400 means none.
    void open(Callback<Done> done) override;
    // Reads Connected first (a mount already connected stays connected on close), then interface 4:
    // connect, then connecting until false, then connected must be true. Older: Connected = true.
    void connect(Callback<Done> done) override;
    // Disconnect (interface 4) or Connected = false, when connect() connected the mount; closed runs on its
    // answer or after the read time limit.
    void close(std::function<void()> closed) override;
    void connected(Callback<bool> done) override;
    void canSetGuideRates(Callback<bool> done) override;
    void setGuideRateRightAscension(double multiple, Callback<Done> done) override;
    void setGuideRateDeclination(double multiple, Callback<Done> done) override;
    void guideRateRightAscension(Callback<double> done) override;
    void guideRateDeclination(Callback<double> done) override;
    void rightAscension(Callback<double> done) override;
    void declination(Callback<double> done) override;
    void atPark(Callback<bool> done) override;
    void unpark(Callback<Done> done) override;
    void pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done) override;

    // The interface version read by open(); 0 before.
    int interfaceVersion() const { return m_interfaceVersion; }

private:
    QString member(const char* name) const;
    void getBool(const char* name, Callback<bool> done);
    void getNumber(const char* name, Callback<double> done);
    void putMethod(const char* name, QUrlQuery form, int timeoutMs, Callback<Done> done);
    void connectNow(Callback<Done> done);
    void waitWhileConnecting(Callback<Done> done, int triesLeft);

    DriverId m_id;
    Timeouts m_timeouts;
    AlpacaClient m_client;
    int m_interfaceVersion = 0;
    bool m_connectedByUs = false; // connect() found the mount not connected and asked for it
};

} // namespace telescope::alpaca
