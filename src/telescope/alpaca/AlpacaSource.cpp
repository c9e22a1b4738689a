// Alpaca telescopes for the chooser.
#include "telescope/alpaca/AlpacaSource.h"

#include "telescope/alpaca/AlpacaAnswer.h"
#include "telescope/alpaca/AlpacaClient.h"

namespace telescope::alpaca {

AlpacaSource::AlpacaSource(QNetworkAccessManager& net, DiscoveryTargets targets, int readTimeoutMs,
                           QObject* parent)
    : QObject(parent)
    , m_net(net)
    , m_targets(std::move(targets))
    , m_readTimeoutMs(readTimeoutMs)
    , m_discovery(this) {}

void AlpacaSource::askServer(const std::string& host, std::uint16_t port, SearchDone done) {
    auto* client = new AlpacaClient(QString::fromStdString(host), port, m_net, this);
    client->get(QStringLiteral("/management/v1/configureddevices"), m_readTimeoutMs,
                [client, host, port, done = std::move(done)](const HttpAnswer& a) {
                    client->deleteLater();
                    const std::string where = host + ":" + std::to_string(port);
                    if (a.status == 0) {
                        done({},
                             where + (a.transportFailure == failureTimeout
                                          ? " did not answer in time"
                                          : " could not be reached (" + a.transportText.toStdString() + ")"));
                        return;
                    }
                    const auto list = readConfiguredTelescopes(a.status, a.body, host, port);
                    if (!list.ok())
                        done({}, where + ": " + list.failure.message);
                    else if (list.value->empty())
                        done({}, where + " has no telescope");
                    else
                        done(*list.value, {});
                });
}

void AlpacaSource::search(SearchDone done) {
    m_discovery.search(m_targets, [this, done](const std::vector<std::pair<QHostAddress, quint16>>& servers,
                                               const QString& problem) {
        if (servers.empty()) {
            done({},
                 problem.isEmpty() ? "no Alpaca server answered the discovery probe" : problem.toStdString());
            return;
        }
        std::vector<Server> asked;
        for (const auto& [address, port] : servers)
            asked.emplace_back(address.toString().toStdString(), port);
        askEach(
            asked,
            [this](const std::string& host, std::uint16_t port, SearchDone d) { askServer(host, port, d); },
            done, problem.toStdString());
    });
}

} // namespace telescope::alpaca
