// The chooser's ASCOM Alpaca source: discovery finds servers, each server's management API lists its
// telescopes; a server typed by hand is asked directly.
#pragma once

#include "telescope/TelescopeSource.h"
#include "telescope/alpaca/AlpacaDiscovery.h"

#include <QObject>

class QNetworkAccessManager;

namespace telescope::alpaca {

class AlpacaSource : public QObject, public TelescopeSource {
    Q_OBJECT
public:
    // net must outlive the source. targets: where discovery probes go.
    AlpacaSource(QNetworkAccessManager& net, DiscoveryTargets targets, int readTimeoutMs = 5000,
                 QObject* parent = nullptr);

    std::string name() const override { return "ASCOM Alpaca"; }
    std::uint16_t defaultPort() const override { return 11111; }
    void search(SearchDone done) override;
    void askServer(const std::string& host, std::uint16_t port, SearchDone done) override;

private:
    QNetworkAccessManager& m_net;
    DiscoveryTargets m_targets;
    int m_readTimeoutMs;
    AlpacaDiscovery m_discovery;
};

} // namespace telescope::alpaca
