// The Alpaca discovery probe over UDP.
#include "telescope/alpaca/AlpacaDiscovery.h"

#include "telescope/alpaca/AlpacaAnswer.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

namespace telescope::alpaca {

QList<QHostAddress> broadcastTargets() {
    QList<QHostAddress> targets;
    for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces()) {
        const auto flags = nic.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : nic.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.broadcast().isNull() &&
                !entry.ip().isLinkLocal())
                targets.append(entry.broadcast());
    }
    return targets;
}

AlpacaDiscovery::AlpacaDiscovery(QObject* parent)
    : QObject(parent) {}

void AlpacaDiscovery::search(const DiscoveryTargets& targets, Found done) {
    delete m_socket;
    m_socket = new QUdpSocket(this);
    QUdpSocket* socket = m_socket;
    if (targets.addresses.isEmpty()) {
        QTimer::singleShot(0, this, [done] { done({}, QStringLiteral("no discovery addresses are set")); });
        return;
    }
    // Loopback-only targets need no other interface; anything else is sent from every interface.
    bool loopbackOnly = true;
    for (const QHostAddress& a : targets.addresses)
        loopbackOnly = loopbackOnly && a.isLoopback();
    if (!socket->bind(
            loopbackOnly ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(QHostAddress::AnyIPv4), 0)) {
        const QString problem =
            QStringLiteral("could not open a UDP socket for discovery: %1").arg(socket->errorString());
        QTimer::singleShot(0, this, [done, problem] { done({}, problem); });
        return;
    }
    auto servers = std::make_shared<std::vector<std::pair<QHostAddress, quint16>>>();
    connect(socket, &QUdpSocket::readyRead, socket, [socket, servers] {
        while (socket->hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket->receiveDatagram(2048);
            const auto port = readDiscoveryReply(datagram.data());
            if (!port)
                continue;
            // An IPv4 peer may show as ::ffff:a.b.c.d; the URL needs the plain form.
            QHostAddress from = datagram.senderAddress();
            bool isV4 = false;
            const quint32 v4 = from.toIPv4Address(&isV4);
            if (isV4)
                from = QHostAddress(v4);
            const std::pair<QHostAddress, quint16> server{from, *port};
            if (std::find(servers->begin(), servers->end(), server) == servers->end())
                servers->push_back(server);
        }
    });
    QString problem;
    for (const QHostAddress& address : targets.addresses)
        if (socket->writeDatagram(QByteArrayLiteral("alpacadiscovery1"), address, targets.port) < 0)
            problem = QStringLiteral("the discovery probe to %1 port %2 could not be sent: %3")
                          .arg(address.toString())
                          .arg(targets.port)
                          .arg(socket->errorString());
    QTimer::singleShot(targets.listenMs, socket, [done, servers, problem] { done(*servers, problem); });
}

} // namespace telescope::alpaca
