// Reading Alpaca answers: HTTP status before ErrorNumber before Value, typed values, the management listing,
// the discovery reply; the form body's '+' and the guide-rate units.
#include "telescope/alpaca/AlpacaAnswer.h"
#include "telescope/alpaca/AlpacaClient.h"

#include <gtest/gtest.h>

namespace {

using namespace telescope;
using namespace telescope::alpaca;

TEST(AlpacaAnswer, StatusThenErrorNumberThenValue) {
    const struct {
        int status;
        const char* body;
        int failure; // 0: a number is read
        double value;
    } cases[] = {
        {200,
         R"({"Value":45.25,"ClientTransactionID":3,"ServerTransactionID":9,"ErrorNumber":0,"ErrorMessage":""})",
         0, 45.25},
        {200, R"({"Value":1.5})", 0, 1.5}, // no error fields at all
        {500, "simulated device fault", 500, 0},
        {200, R"({"Value":45.25,"ErrorNumber":1031,"ErrorMessage":"not connected"})", 0x407, 0},
        {200, R"({"Value":45.25,"ErrorNumber":0,"ErrorMessage":"something went wrong"})", 0x4FF, 0},
        {200, R"({"ErrorNumber":"1032","ErrorMessage":"parked"})", 0x408, 0}, // a number sent as text
        {200, R"({"Value":null,"ErrorNumber":0,"ErrorMessage":""})", failureMalformed, 0},
        {200, R"({"Value":"45.25","ErrorNumber":0})", failureMalformed, 0},
        {200, R"([45.25])", failureMalformed, 0},
        {200, R"({"Value":1,"ErrorNumber":1e300})", failureMalformed, 0},
        {200, R"({"Value":1,"ErrorNumber":-5,"ErrorMessage":"x"})", 0x4FF, 0},
    };
    for (const auto& c : cases) {
        const auto r = readNumber(c.status, QByteArray(c.body));
        if (c.failure == 0) {
            ASSERT_TRUE(r.ok()) << c.body << ": " << r.failure.message;
            EXPECT_EQ(*r.value, c.value);
        } else {
            ASSERT_FALSE(r.ok()) << c.body;
            EXPECT_EQ(r.failure.number, c.failure) << c.body;
            EXPECT_FALSE(r.failure.message.empty());
        }
    }
    // The device's own message is passed on; the text body of an HTTP error too.
    EXPECT_EQ(readNumber(200, R"({"ErrorNumber":1031,"ErrorMessage":"not connected"})").failure.message,
              "not connected");
    EXPECT_NE(readMethod(500, "simulated device fault").failure.message.find("simulated device fault"),
              std::string::npos);
}

TEST(AlpacaAnswer, TypedValues) {
    EXPECT_EQ(*readBool(200, R"({"Value":true,"ErrorNumber":0,"ErrorMessage":""})").value, true);
    EXPECT_FALSE(readBool(200, R"({"Value":"true"})").ok());
    EXPECT_EQ(*readInteger(200, R"({"Value":4})").value, 4);
    EXPECT_FALSE(readInteger(200, R"({"Value":4.5})").ok());
    EXPECT_TRUE(
        readMethod(200, R"({"ClientTransactionID":"twelve","ErrorNumber":0,"ErrorMessage":""})").ok());
    EXPECT_EQ(readDeviceAnswer(200, R"({"ClientTransactionID":12})").value->clientTransactionId, 12);
}

TEST(AlpacaAnswer, ConfiguredTelescopesOnly) {
    const QByteArray body = R"({"Value":[
        {"DeviceName":"Mount","DeviceType":"Telescope","DeviceNumber":0,"UniqueID":"a"},
        {"DeviceName":"Cam","DeviceType":"Camera","DeviceNumber":0,"UniqueID":"b"},
        {"DeviceName":"Second","DeviceType":"telescope","DeviceNumber":1,"UniqueID":"c"},
        {"DeviceName":"Broken","DeviceType":"Telescope","DeviceNumber":-1},
        "not an object"],"ClientTransactionID":1,"ServerTransactionID":1})";
    const auto r = readConfiguredTelescopes(200, body, "127.0.0.1", 11111);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.value->size(), 2u);
    EXPECT_EQ((*r.value)[0].id, "alpaca://127.0.0.1:11111/telescope/0");
    EXPECT_EQ((*r.value)[0].name, "Mount");
    EXPECT_EQ((*r.value)[1].id, "alpaca://127.0.0.1:11111/telescope/1");
    EXPECT_FALSE(readConfiguredTelescopes(200, R"({"Value":{}})", "h", 1).ok());
}

TEST(AlpacaAnswer, DiscoveryReply) {
    EXPECT_EQ(readDiscoveryReply(R"({"AlpacaPort": 11111})"), 11111);
    EXPECT_EQ(readDiscoveryReply(R"({"AlpacaPort": "32323"})"), 32323);
    for (const char* bad : {"", "alpacadiscovery1", R"({"AlpacaPort":0})", R"({"AlpacaPort":70000})",
                            R"({"Port":11111})", R"({"AlpacaPort":1.5})"})
        EXPECT_FALSE(readDiscoveryReply(bad)) << bad;
}

TEST(AlpacaRequest, FormBodiesSendPlusAsPercent2B) {
    QUrlQuery form;
    form.addQueryItem("GuideRateRightAscension", "1.23456e+10");
    EXPECT_EQ(formBody(form), "GuideRateRightAscension=1.23456e%2B10");
    // The guide-rate units on the wire and back: tst_alpaca_driver against the mount simulator.
}

} // namespace
