// Listing an INDI server's telescopes (see IndiTelescopeList.h).
#include "telescope/indi/IndiTelescopeList.h"

#include "telescope/indi/IndiCommands.h"

namespace telescope::indi {

IndiTelescopeList::IndiTelescopeList(QObject* parent)
    : QObject(parent) {
    m_quiet.setSingleShot(true);
    m_limit.setSingleShot(true);
    QObject::connect(&m_quiet, &QTimer::timeout, this, [this] { finish(std::nullopt); });
    QObject::connect(&m_limit, &QTimer::timeout, this, [this] {
        if (m_socket.state() == QAbstractSocket::ConnectedState)
            return finish(std::nullopt); // a server that keeps talking: list what it said so far
        finish(Failure{failureTimeout, "The INDI server at " + m_server.server() + " did not answer within " +
                                           std::to_string(limitMs / 1000) +
                                           " s; is indiserver running there?"});
    });
    QObject::connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_socket.write(QByteArray::fromStdString(getPropertiesCommand({})));
        m_quiet.start(limitMs); // a server with no devices says nothing at all
    });
    QObject::connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        for (const Message& m : m_reader.feed(m_socket.readAll()))
            m_store.apply(m);
        if (!m_reader.error().empty())
            return finish(Failure{failureMalformed, "The INDI server at " + m_server.server() +
                                                        " sent something that is not INDI (" +
                                                        m_reader.error() + ")"});
        m_quiet.start(quietMs);
    });
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (!m_done)
            return;
        if (m_socket.state() == QAbstractSocket::ConnectedState || !m_store.devices().empty())
            return finish(std::nullopt);
        finish(Failure{failureUnreachable, "The INDI server at " + m_server.server() +
                                               " cannot be reached (" + m_socket.errorString().toStdString() +
                                               "); is indiserver running there?"});
    });
}

void IndiTelescopeList::list(const std::string& host, std::uint16_t port,
                             Callback<std::vector<IndiTelescope>> done) {
    m_done = nullptr;
    m_socket.abort();
    m_reader.reset();
    m_store.clear();
    m_server = IndiAddress{host, port, {}};
    m_done = std::move(done);
    m_quiet.stop();
    m_limit.start(limitMs);
    m_socket.connectToHost(QString::fromStdString(host), port);
}

void IndiTelescopeList::finish(const std::optional<Failure>& failure) {
    m_quiet.stop();
    m_limit.stop();
    auto done = std::exchange(m_done, nullptr);
    m_socket.abort();
    if (!done)
        return;
    if (failure)
        return done(Result<std::vector<IndiTelescope>>::failed(*failure));
    std::vector<IndiTelescope> telescopes;
    for (const std::string& device : m_store.devices()) {
        if (!isTelescope(m_store, device).value_or(false))
            continue;
        IndiAddress address = m_server;
        address.device = device;
        telescopes.push_back({address.id(), device});
    }
    done(Result<std::vector<IndiTelescope>>::success(std::move(telescopes)));
}

} // namespace telescope::indi
