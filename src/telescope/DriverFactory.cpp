// The driver for an identifier.
#include "telescope/DriverFactory.h"

#include "telescope/DriverId.h"
#include "telescope/alpaca/AlpacaDriver.h"
#include "telescope/indi/IndiDriver.h"

namespace telescope {

std::unique_ptr<Driver> makeDriver(const std::string& id, QNetworkAccessManager& net, std::string& problem) {
    const auto parsed = parseDriverId(id);
    if (!parsed) {
        problem =
            "\"" + id + "\" is not a telescope identifier (for example alpaca://127.0.0.1:11111/telescope/0)";
        return nullptr;
    }
    if (parsed->backend == Backend::Alpaca)
        return std::make_unique<alpaca::AlpacaDriver>(*parsed, net);
    return std::make_unique<indi::IndiDriver>(
        indi::IndiAddress{parsed->host, parsed->port, parsed->deviceName});
}

} // namespace telescope
