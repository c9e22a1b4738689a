// IndiTelescopeList through the chooser's IndiSource against a replayed server: telescopes only, named by
// identifier, and a server that cannot be reached named in the search's problem.
#include "telescope/indi/FakeIndiServer.h"
#include "telescope/indi/IndiSource.h"
#include "telescope/indi/IndiTestSupport.h"

#include <gtest/gtest.h>

using namespace telescope;
using namespace telescope::indi;

TEST(IndiSource, SearchListsTelescopesOnlyAndReportsTheServersThatFail) {
    ensureApplication();
    FakeIndiServer server(sessionPath("parked"));
    const quint16 dead = deadPort();
    IndiSource source({{"127.0.0.1", server.port()}, {"127.0.0.1", dead}});
    std::optional<std::pair<std::vector<TelescopeEntry>, std::string>> answer;
    source.search([&](const std::vector<TelescopeEntry>& found, const std::string& problem) {
        answer.emplace(found, problem);
    });
    ASSERT_TRUE(waitUntil([&] { return server.hasClient(); }));
    server.send("<defTextVector device=\"CCD Simulator\" name=\"DRIVER_INFO\" state=\"Idle\" perm=\"ro\">"
                "<defText name=\"DRIVER_INTERFACE\">22</defText></defTextVector>\n");
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));
    const std::string where = "127.0.0.1:" + std::to_string(server.port());
    ASSERT_EQ(answer->first.size(), 1u);
    EXPECT_EQ(answer->first[0].id, "indi://" + where + "/Telescope Simulator");
    EXPECT_EQ(answer->first[0].name, "Telescope Simulator");
    EXPECT_EQ(answer->first[0].where, where);
    EXPECT_NE(answer->second.find("127.0.0.1:" + std::to_string(dead)), std::string::npos) << answer->second;
}
