// INDI telescopes for the chooser (see IndiSource.h).
#include "telescope/indi/IndiSource.h"

#include "telescope/indi/IndiTelescopeList.h"

namespace telescope::indi {

IndiSource::IndiSource(Servers servers, QObject* parent)
    : QObject(parent)
    , m_servers(std::move(servers)) {}

void IndiSource::askServer(const std::string& host, std::uint16_t port, SearchDone done) {
    auto* list = new IndiTelescopeList(this);
    const std::string where = host + ":" + std::to_string(port);
    list->list(host, port, [list, where, done](const Result<std::vector<IndiTelescope>>& r) {
        list->deleteLater();
        if (!r.ok())
            return done({}, r.failure.message);
        if (r.value->empty())
            return done({}, "the INDI server at " + where + " has no telescope");
        std::vector<TelescopeEntry> found;
        for (const IndiTelescope& t : *r.value)
            found.push_back({t.id, t.name, where});
        done(found, {});
    });
}

void IndiSource::search(SearchDone done) {
    if (m_servers.empty())
        return done({}, "no INDI server to ask");
    askEach(
        m_servers,
        [this](const std::string& host, std::uint16_t port, SearchDone d) { askServer(host, port, d); },
        std::move(done));
}

} // namespace telescope::indi
