// IndiTelescopeList and the chooser's IndiSource against a replayed server: telescopes only, named by
// identifier, and a server that cannot be reached named in the search's problem.
#include "telescope/indi/FakeIndiServer.h"
#include "telescope/indi/IndiSource.h"
#include "telescope/indi/IndiTelescopeList.h"
#include "telescope/indi/IndiTestSupport.h"

#include <gtest/gtest.h>

using namespace telescope;
using namespace telescope::indi;

TEST(IndiTelescopeList, ListsTheTelescopesOfAServer) {
    ensureApplication();
    FakeIndiServer server(sessionPath("parked"));
    IndiTelescopeList list;
    Catch<std::vector<IndiTelescope>> found;
    list.list("127.0.0.1", server.port(), found.take());
    ASSERT_TRUE(waitUntil([&] { return server.hasClient(); }));
    server.send("<defTextVector device=\"CCD Simulator\" name=\"DRIVER_INFO\" state=\"Idle\" perm=\"ro\">"
                "<defText name=\"DRIVER_INTERFACE\">22</defText></defTextVector>\n");
    ASSERT_TRUE(waitUntil([&] { return found.done(); }));
    ASSERT_TRUE(found.ok()) << found.message();
    ASSERT_EQ(found.value().size(), 1u);
    EXPECT_EQ(found.value()[0].name, "Telescope Simulator");
    EXPECT_EQ(found.value()[0].id,
              "indi://127.0.0.1:" + std::to_string(server.port()) + "/Telescope Simulator");
}

TEST(IndiSource, SearchAsksEveryServerAndReportsTheOnesThatFail) {
    ensureApplication();
    FakeIndiServer server(sessionPath("parked"));
    const quint16 dead = deadPort();
    IndiSource source({{"127.0.0.1", server.port()}, {"127.0.0.1", dead}});
    std::optional<std::pair<std::vector<TelescopeEntry>, std::string>> answer;
    source.search([&](const std::vector<TelescopeEntry>& found, const std::string& problem) {
        answer.emplace(found, problem);
    });
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));
    ASSERT_EQ(answer->first.size(), 1u);
    EXPECT_EQ(answer->first[0].where, "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_NE(answer->second.find("127.0.0.1:" + std::to_string(dead)), std::string::npos) << answer->second;
}
