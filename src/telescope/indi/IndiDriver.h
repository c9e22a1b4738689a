// telescope::Driver for a mount on an INDI server: our own protocol 1.7 client on the Qt event loop (a
// QTcpSocket, IndiReader, IndiMount and a timer for the time limits); no threads, no INDI library. Made by
// the window from an identifier such as "indi://127.0.0.1:7624/Telescope Simulator".
#pragma once

#include "telescope/Driver.h"
#include "telescope/indi/IndiAddress.h"
#include "telescope/indi/IndiMount.h"
#include "telescope/indi/IndiReader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace telescope::indi {

class IndiDriver final : public QObject, public Driver {
    Q_OBJECT
public:
    explicit IndiDriver(IndiAddress address, QObject* parent = nullptr);
    ~IndiDriver() override;

    // The device's own warnings and errors, Alerts no call was waiting for, and the loss of the server, in
    // words; called on the UI thread. Optional.
    void setNoticeHandler(std::function<void(const std::string&)> notice) { m_notice = std::move(notice); }

    std::string id() const override { return m_address.id(); }
    // Opens the TCP connection to the server (within 5 s), asks for the device's properties and checks that
    // the device is a telescope. May be called again after the server went away: it then reconnects.
    void open(Callback<Done> done) override;
    void connect(Callback<Done> done) override;
    // DISCONNECT when connect() connected the device, then the TCP connection is closed once everything
    // written has left (within closeLimitMs); the server sees the command before the connection ends.
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

private:
    // Every answer runs later, on the event loop, and never after the driver is gone.
    template <typename T>
    Callback<T> later(Callback<T> done) {
        return [this, done = std::move(done)](const Result<T>& result) {
            QMetaObject::invokeMethod(
                this, [done, result] { done(result); }, Qt::QueuedConnection);
        };
    }
    void onReadyRead();
    void onLinkLost(const std::string& why);
    void finishClose();
    void armTimer();
    std::int64_t now() const { return m_clock.elapsed(); }

    IndiAddress m_address;
    QTcpSocket m_socket;
    IndiReader m_reader;
    IndiMount m_mount;
    QTimer m_tick;    // drives the time limits while anything waits
    QTimer m_opening; // the limit on the TCP connection itself
    QTimer m_closing; // the limit on close()
    QElapsedTimer m_clock;
    Callback<Done> m_openDone;      // the open() waiting for the TCP connection
    std::function<void()> m_closed; // the close() waiting for the connection to end
    bool m_linkUp = false;
    std::function<void(const std::string&)> m_notice;
};

} // namespace telescope::indi
