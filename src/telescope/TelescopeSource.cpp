// The chooser's search over several servers.
#include "telescope/TelescopeSource.h"

#include <memory>

namespace telescope {

void askEach(const std::vector<Server>& servers, const AskServer& ask, SearchDone done,
             std::string knownProblems) {
    struct Gather {
        std::vector<TelescopeEntry> found;
        std::string problems;
        std::size_t waiting = 0;
        SearchDone done;
    };
    auto gather = std::make_shared<Gather>();
    gather->waiting = servers.size();
    gather->problems = std::move(knownProblems);
    gather->done = std::move(done);
    for (const auto& [host, port] : servers)
        ask(host, port, [gather](const std::vector<TelescopeEntry>& found, const std::string& problem) {
            gather->found.insert(gather->found.end(), found.begin(), found.end());
            if (!problem.empty())
                gather->problems += (gather->problems.empty() ? "" : "; ") + problem;
            if (--gather->waiting == 0)
                gather->done(gather->found, gather->problems);
        });
}

} // namespace telescope
