// INDI telescopes for the chooser (see IndiSource.h).
#include "telescope/indi/IndiSource.h"

#include "telescope/indi/IndiTelescopeList.h"

#include <memory>

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
    struct Gather {
        std::vector<TelescopeEntry> found;
        std::string problems;
        std::size_t waiting = 0;
    };
    auto gather = std::make_shared<Gather>();
    gather->waiting = m_servers.size();
    if (m_servers.empty())
        return done({}, "no INDI server to ask");
    for (const auto& [host, port] : m_servers)
        askServer(host, port,
                  [gather, done](const std::vector<TelescopeEntry>& found, const std::string& problem) {
                      gather->found.insert(gather->found.end(), found.begin(), found.end());
                      if (!problem.empty())
                          gather->problems += (gather->problems.empty() ? "" : "; ") + problem;
                      if (--gather->waiting == 0)
                          done(gather->found, gather->problems);
                  });
}

} // namespace telescope::indi
