// The INDI telescope driver's Qt side (see IndiDriver.h).
#include "telescope/indi/IndiDriver.h"

#include "telescope/indi/IndiCommands.h"

namespace telescope::indi {

namespace {
constexpr int tickMs = 100;
constexpr int openLimitMs = 5000;
constexpr int closeLimitMs = 5000;
} // namespace

IndiDriver::IndiDriver(IndiAddress address, QObject* parent)
    : QObject(parent)
    , m_address(std::move(address))
    , m_mount(
          m_address,
          [this](const std::string& xml) {
              if (m_socket.state() == QAbstractSocket::ConnectedState)
                  m_socket.write(QByteArray::fromStdString(xml));
          },
          [this](const std::string& text) {
              if (m_notice)
                  m_notice(text);
          }) {
    m_clock.start();
    m_tick.setInterval(tickMs);
    QObject::connect(&m_tick, &QTimer::timeout, this, [this] {
        m_mount.expire(now());
        armTimer();
    });
    m_opening.setSingleShot(true);
    QObject::connect(&m_opening, &QTimer::timeout, this, [this] {
        m_socket.abort();
        onLinkLost("The INDI server at " + m_address.server() + " did not accept a connection within " +
                   std::to_string(openLimitMs / 1000) + " s; is indiserver running there?");
    });
    m_closing.setSingleShot(true);
    QObject::connect(&m_closing, &QTimer::timeout, this, [this] {
        m_socket.abort();
        finishClose();
    });
    QObject::connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_opening.stop();
        m_linkUp = true;
        m_reader.reset();
        m_mount.linkUp(now());
        if (m_openDone)
            m_mount.open(std::exchange(m_openDone, nullptr), now());
        armTimer();
    });
    QObject::connect(&m_socket, &QTcpSocket::readyRead, this, &IndiDriver::onReadyRead);
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        const std::string detail = m_socket.errorString().toStdString();
        if (error == QAbstractSocket::RemoteHostClosedError)
            onLinkLost("The INDI server at " + m_address.server() + " closed the connection");
        else
            onLinkLost("The INDI server at " + m_address.server() + " cannot be reached (" + detail +
                       "); is indiserver running there?");
    });
    QObject::connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        onLinkLost("The INDI server at " + m_address.server() + " closed the connection");
    });
}

IndiDriver::~IndiDriver() {
    m_openDone = nullptr;
    m_socket.disconnect(this);
    m_socket.abort();
}

void IndiDriver::onLinkLost(const std::string& why) {
    if (m_closed)
        return finishClose(); // our own closing is no news
    m_opening.stop();
    if (m_openDone)
        std::exchange(m_openDone, nullptr)(Result<Done>::failed({failureUnreachable, why}));
    m_mount.linkLost(why);
    // Told once: a lost link raises both an error and a disconnect.
    if (std::exchange(m_linkUp, false) && m_notice)
        m_notice(why);
    armTimer();
}

void IndiDriver::armTimer() {
    if (m_mount.waiting()) {
        if (!m_tick.isActive())
            m_tick.start();
    } else {
        m_tick.stop();
    }
}

void IndiDriver::onReadyRead() {
    const auto messages = m_reader.feed(m_socket.readAll());
    for (const Message& m : messages)
        m_mount.receive(m, now());
    if (!m_reader.error().empty() && m_linkUp) {
        onLinkLost("The INDI server at " + m_address.server() + " sent something that is not INDI (" +
                   m_reader.error() + "); the connection was closed");
        m_socket.abort();
    }
    armTimer();
}

void IndiDriver::open(Callback<Done> done) {
    done = later(std::move(done));
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        return m_mount.open(std::move(done), now());
    if (m_openDone)
        return done(Result<Done>::failed(
            {failureUnreachable, "Already connecting to the INDI server at " + m_address.server()}));
    m_openDone = std::move(done);
    m_socket.abort();
    m_opening.start(openLimitMs);
    m_socket.connectToHost(QString::fromStdString(m_address.host), m_address.port);
}

void IndiDriver::connect(Callback<Done> done) {
    m_mount.connect(later(std::move(done)), now());
    armTimer();
}

void IndiDriver::close(std::function<void()> closed) {
    m_notice = nullptr;
    m_openDone = nullptr;
    m_opening.stop();
    m_mount.disconnect();
    m_closed = std::move(closed);
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        m_socket.abort();
        return finishClose();
    }
    m_closing.start(closeLimitMs);
    // Writes what is still buffered (the DISCONNECT above), then ends the connection: disconnected follows.
    m_socket.disconnectFromHost();
    if (m_socket.state() == QAbstractSocket::UnconnectedState)
        finishClose();
}

void IndiDriver::finishClose() {
    m_closing.stop();
    m_tick.stop();
    m_linkUp = false;
    m_mount.linkLost("The connection to the INDI server at " + m_address.server() + " was closed");
    if (auto closed = std::exchange(m_closed, nullptr))
        closed();
}

void IndiDriver::connected(Callback<bool> done) {
    m_mount.connected(later(std::move(done)));
}

void IndiDriver::canSetGuideRates(Callback<bool> done) {
    m_mount.canSetGuideRates(later(std::move(done)));
}

void IndiDriver::setGuideRateRightAscension(double multiple, Callback<Done> done) {
    m_mount.setGuideRate(true, multiple, later(std::move(done)), now());
    armTimer();
}

void IndiDriver::setGuideRateDeclination(double multiple, Callback<Done> done) {
    m_mount.setGuideRate(false, multiple, later(std::move(done)), now());
    armTimer();
}

void IndiDriver::guideRateRightAscension(Callback<double> done) {
    m_mount.guideRate(true, later(std::move(done)));
}

void IndiDriver::guideRateDeclination(Callback<double> done) {
    m_mount.guideRate(false, later(std::move(done)));
}

void IndiDriver::rightAscension(Callback<double> done) {
    m_mount.coordinate(true, later(std::move(done)), now());
    armTimer();
}

void IndiDriver::declination(Callback<double> done) {
    m_mount.coordinate(false, later(std::move(done)), now());
    armTimer();
}

void IndiDriver::atPark(Callback<bool> done) {
    m_mount.atPark(later(std::move(done)));
}

void IndiDriver::unpark(Callback<Done> done) {
    m_mount.unpark(later(std::move(done)), now());
    armTimer();
}

void IndiDriver::pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done) {
    m_mount.pulseGuide(direction, durationMs, later(std::move(done)), now());
    armTimer();
}

} // namespace telescope::indi
