// libFuzzer target for the INDI message reader and what consumes its output: any bytes, split anywhere, must
// be read or refused cleanly, and the messages must keep the property store and the mount logic sound.
#include "telescope/indi/IndiMount.h"
#include "telescope/indi/IndiReader.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace telescope;
using namespace telescope::indi;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first byte picks the read size, so that the stream is split at every possible place over the runs.
    const std::size_t chunk = 1 + data[0] % 64;
    const bool connectFirst = data[1] & 1;
    data += 2;
    size -= 2;

    IndiReader reader;
    std::size_t sent = 0;
    IndiMount mount(
        IndiAddress{"127.0.0.1", 7624, "Telescope Simulator"},
        [&](const std::string& xml) { sent += xml.size(); },
        [](const std::string& text) { require(!text.empty()); });
    mount.linkUp(0);
    int answers = 0;
    auto count = [&answers](const auto&) {
        ++answers;
    };
    mount.open(count, 0);
    if (connectFirst)
        mount.connect(count, 0);

    std::int64_t now = 0;
    std::size_t reads = 0;
    for (std::size_t at = 0; at < size; at += chunk) {
        const std::size_t n = std::min(chunk, size - at);
        const bool failedBefore = !reader.error().empty();
        const auto messages = reader.feed(QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(n)));
        require(!failedBefore || messages.empty());
        for (const Message& m : messages) {
            require(m.elements.size() <= IndiReader::maxElements);
            mount.receive(m, now);
        }
        now += 100;
        mount.expire(now);
        if (++reads % 16 != 0)
            continue;
        mount.coordinate(true, count, now);
        mount.pulseGuide(GuideDirection::West, 100, count, now);
        mount.setGuideRate(false, 0.5, count, now);
        mount.unpark(count, now);
    }
    const int before = answers;
    mount.expire(now + 120000); // every limit is at most a minute: nothing may still wait
    require(!mount.waiting());
    require(answers >= before);
    mount.linkLost("gone");
    return 0;
}
