// IndiDriver against a fake server that replays sessions captured from indiserver + indi_simulator_telescope:
// what goes out for each member, what answer completes it, and how Alerts, repeated definitions, closing
// and a vanished server reach the caller.
#include "telescope/indi/FakeIndiServer.h"
#include "telescope/indi/IndiDriver.h"
#include "telescope/indi/IndiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace telescope;
using namespace telescope::indi;

namespace {

class IndiDriverTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }

    // Opens and connects a driver to a replay of the session; readBytes > 0 cuts every answer into reads that
    // size.
    void start(const char* session, int readBytes = 0) {
        server = std::make_unique<FakeIndiServer>(sessionPath(session), readBytes);
        driver =
            std::make_unique<IndiDriver>(IndiAddress{"127.0.0.1", server->port(), "Telescope Simulator"});
        driver->setNoticeHandler([this](const std::string& text) { notices.push_back(text); });
        ASSERT_TRUE(ask(done, &IndiDriver::open).ok()) << done.message();
        ASSERT_TRUE(ask(done, &IndiDriver::connect).ok()) << done.message();
    }
    template <typename T, typename C, typename... P, typename... A>
    Catch<T>& ask(Catch<T>& c, void (C::*member)(P...), A... args) {
        return call(c, *driver, member, args...);
    }
    Catch<Done>& await(Catch<Done>& c) {
        EXPECT_TRUE(waitUntil([&c] { return c.done(); }));
        return c;
    }
    qsizetype sentContaining(const QString& text) const { return server->received().filter(text).size(); }

    std::unique_ptr<FakeIndiServer> server;
    std::unique_ptr<IndiDriver> driver;
    std::vector<std::string> notices;
    Catch<Done> done;
    Catch<bool> flag;
    Catch<double> number;
};

// The whole parked session, with the server's answers cut into 13-byte reads (every split size:
// test_indi_reader).
TEST_F(IndiDriverTest, ParkedMountIsUnparkedThenGuided) {
    start("parked", 13);

    EXPECT_TRUE(ask(flag, &IndiDriver::atPark).value())
        << "the park state arrives after CONNECTION; connect waits for it";

    EXPECT_EQ(ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000).number(), failureParked);
    EXPECT_EQ(sentContaining("TIMED_GUIDE"), 0)
        << "the simulator would guide a parked mount: nothing may go out";

    ASSERT_TRUE(ask(done, &IndiDriver::unpark).ok()) << done.message();
    EXPECT_EQ(sentContaining("<oneSwitch name=\"UNPARK\">On</oneSwitch></newSwitchVector>"), 1);
    EXPECT_EQ(sentContaining("name=\"PARK\""), 0) << "only the On element of a OneOfMany vector is sent";
    EXPECT_EQ(sentContaining("<oneSwitch name=\"TRACK_ON\">On"), 1) << "unparking leaves tracking off";

    ASSERT_TRUE(ask(done, &IndiDriver::setGuideRateRightAscension, 0.5).ok()) << done.message();
    EXPECT_DOUBLE_EQ(ask(number, &IndiDriver::guideRateRightAscension).value(), 0.5);

    ASSERT_TRUE(ask(number, &IndiDriver::rightAscension).ok());
    EXPECT_GT(number.value(), 0.0) << "the first definition's placeholder 0 must not be shown as a position";

    ASSERT_TRUE(ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000).ok()) << done.message();
    EXPECT_EQ(sentContaining("<oneNumber name=\"TIMED_GUIDE_W\">1000</oneNumber><oneNumber "
                             "name=\"TIMED_GUIDE_E\">0</oneNumber>"),
              1);

    // Still Busy: a second pulse on the axis would restart the first.
    EXPECT_EQ(ask(done, &IndiDriver::pulseGuide, GuideDirection::East, 200).number(), failurePulseRunning);
    EXPECT_EQ(sentContaining("TIMED_GUIDE_WE"), 1);

    server->resume(); // ... and the pulse ends: Busy -> Idle
    ASSERT_TRUE(waitUntil([this] { return server->allSent(); }));
    QTest::qWait(100);
    driver->pulseGuide(GuideDirection::West, 1000, done.take());
    EXPECT_TRUE(waitUntil([this] { return sentContaining("TIMED_GUIDE_WE") == 2; }));
}

TEST_F(IndiDriverTest, AlertIsReportedWithTheDevicesMessage) {
    start("parked");
    ASSERT_TRUE(ask(done, &IndiDriver::setGuideRateRightAscension, 0.5).ok());
    EXPECT_EQ(ask(done, &IndiDriver::setGuideRateRightAscension, 1.5).number(), failureRefused);
    EXPECT_NE(done.message().find("Invalid range for W/E Rate"), std::string::npos) << done.message();
    EXPECT_DOUBLE_EQ(ask(number, &IndiDriver::guideRateRightAscension).value(), 0.5);
}

TEST_F(IndiDriverTest, RepeatedDefinitionsKeepThePulseGuardAndValues) {
    start("parked");
    ask(done, &IndiDriver::unpark);
    ASSERT_TRUE(ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000).ok());

    // Another client's getProperties makes the server define everything again, TIMED_GUIDE_WE as Idle.
    FakeIndiServer other(sessionPath("unparked"));
    server->send(other.answer("getProperties", 1));
    QTest::qWait(200);
    EXPECT_EQ(ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000).number(), failurePulseRunning);
    EXPECT_TRUE(ask(flag, &IndiDriver::connected).value());
}

TEST_F(IndiDriverTest, CloseSendsTheDisconnectBeforeTheConnectionEnds) {
    start("parked"); // the session's mount is connected by our connect()
    bool closed = false;
    driver->close([&closed] { closed = true; });
    ASSERT_TRUE(waitUntil([&] { return closed; }));
    ASSERT_TRUE(waitUntil([this] { return !server->hasClient(); }));
    EXPECT_EQ(sentContaining("name=\"DISCONNECT\">On"), 1) << "the command left before the connection ended";
    EXPECT_TRUE(notices.empty()) << "our own leaving is no news: " << notices.front();
    EXPECT_EQ(ask(number, &IndiDriver::rightAscension).number(), failureUnreachable);
}

TEST_F(IndiDriverTest, ServerGoingAwayFailsPendingAndLaterCalls) {
    start("parked");
    ask(done, &IndiDriver::unpark);
    ask(done, &IndiDriver::pulseGuide, GuideDirection::West, 1000);
    driver->setGuideRateDeclination(0.7, done.take()); // the session has no answer for it: it stays pending
    const std::string where = "127.0.0.1:" + std::to_string(server->port());
    server->dropClient();
    EXPECT_EQ(await(done).number(), failureUnreachable);
    EXPECT_NE(done.message().find(where), std::string::npos) << done.message();
    ASSERT_EQ(notices.empty(), false);
    EXPECT_NE(notices.back().find("closed the connection"), std::string::npos) << notices.back();

    EXPECT_EQ(ask(number, &IndiDriver::rightAscension).number(), failureUnreachable);
    EXPECT_NE(number.message().find(where), std::string::npos);
}

TEST_F(IndiDriverTest, OpenFailsInWords) {
    IndiDriver lonely(IndiAddress{"127.0.0.1", deadPort(), "Telescope Simulator"});
    EXPECT_EQ(call(done, lonely, &IndiDriver::open).number(), failureUnreachable);
    EXPECT_NE(done.message().find("cannot be reached"), std::string::npos) << done.message();
    const struct {
        const char* device;
        const char* sent;
        int number;
        const char* said;
    } cases[] = {
        {"Telescope Simulator", "<defNumberVector device=\"x\" name=\"y\"><<<", failureUnreachable,
         "not INDI"},
        {"CCD Simulator",
         "<defTextVector device=\"CCD Simulator\" name=\"DRIVER_INFO\" state=\"Idle\" perm=\"ro\">"
         "<defText name=\"DRIVER_INTERFACE\">22</defText></defTextVector>\n",
         failureNotImplemented, "not a telescope"},
    };
    for (const auto& c : cases) {
        FakeIndiServer fake(sessionPath("silent"));
        IndiDriver other(IndiAddress{"127.0.0.1", fake.port(), c.device});
        other.open(done.take());
        ASSERT_TRUE(waitUntil([&] { return fake.hasClient(); }));
        fake.send(c.sent);
        EXPECT_EQ(await(done).number(), c.number);
        EXPECT_NE(done.message().find(c.said), std::string::npos) << done.message();
    }
}

} // namespace
