// libFuzzer target for the Alpaca answer parser: the first two bytes pick an HTTP status, the rest is the
// body. Every reader runs on it (device values, the management listing, the discovery reply) and must return
// a result, never crash or read out of bounds.
#include "telescope/alpaca/AlpacaAnswer.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace telescope::alpaca;
    int status = 200;
    if (size >= 2) {
        // Mostly 200, sometimes any status a server might send.
        status = data[0] < 200 ? 200 : 100 + (data[0] << 8 | data[1]) % 500;
        data += 2;
        size -= 2;
    }
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)readBool(status, body);
    (void)readNumber(status, body);
    (void)readInteger(status, body);
    (void)readMethod(status, body);
    (void)readConfiguredTelescopes(status, body, "127.0.0.1", 11111);
    (void)readDiscoveryReply(body);
    return 0;
}
