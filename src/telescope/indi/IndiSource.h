// The chooser's INDI source: INDI has no discovery, so a search asks the servers it was given (by default the
// local one, 127.0.0.1:7624), and a server typed by hand is asked directly.
#pragma once

#include "telescope/TelescopeSource.h"
#include "telescope/indi/IndiAddress.h"

#include <QObject>

#include <utility>
#include <vector>

namespace telescope::indi {

class IndiSource : public QObject, public TelescopeSource {
    Q_OBJECT
public:
    using Servers = std::vector<Server>;
    explicit IndiSource(Servers servers = {{"127.0.0.1", indi::defaultPort}}, QObject* parent = nullptr);

    std::string name() const override { return "INDI"; }
    std::uint16_t defaultPort() const override { return indi::defaultPort; }
    void search(SearchDone done) override;
    void askServer(const std::string& host, std::uint16_t port, SearchDone done) override;

private:
    Servers m_servers;
};

} // namespace telescope::indi
