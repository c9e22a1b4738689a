// Finding Alpaca servers: the UDP discovery probe ("alpacadiscovery1") sent to the target addresses, and the
// replies {"AlpacaPort": n} collected for a while. Used by AlpacaSource for the chooser's Discover button.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class QUdpSocket;

namespace telescope::alpaca {

inline constexpr quint16 kDiscoveryPort = 32227;

struct DiscoveryTargets {
    QList<QHostAddress> addresses; // where the probe goes: unicast, or broadcast addresses if so configured
    quint16 port = kDiscoveryPort;
    int listenMs = 1000; // how long replies are collected
};

// The directed broadcast address of every IPv4 interface that is up and not loopback: what an operator's
// network needs. Tests and demos never use it; they point discovery at 127.0.0.1.
QList<QHostAddress> broadcastTargets();

class AlpacaDiscovery : public QObject {
    Q_OBJECT
public:
    explicit AlpacaDiscovery(QObject* parent = nullptr);

    // The servers that answered (address, Alpaca port), without repeats; problem says in words what failed.
    using Found = std::function<void(const std::vector<std::pair<QHostAddress, quint16>>& servers,
                                     const QString& problem)>;
    // One search; a search started while another runs replaces it (the earlier one never answers).
    void search(const DiscoveryTargets& targets, Found done);

private:
    QUdpSocket* m_socket = nullptr;
};

} // namespace telescope::alpaca
