// Reading what an Alpaca device or server answered: the HTTP status, the JSON body, the discovery datagram.
// Plain functions, defensive against any input (a fuzz target feeds them); used by AlpacaDriver, the
// discovery and the management listing.
#pragma once

#include "telescope/Driver.h"
#include "telescope/TelescopeSource.h"

#include <QByteArray>
#include <QJsonValue>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace telescope::alpaca {

// One device-API answer before its value is typed. value is absent for methods or when the device sent none.
struct DeviceAnswer {
    QJsonValue value = QJsonValue::Undefined;
    std::optional<std::int64_t> clientTransactionId; // as echoed; absent or unreadable: nothing
};

// The first checks of every answer, in order: HTTP status other than 200 (the failure carries the status and
// the text body), a body that is not a JSON object, then ErrorNumber != 0 or a non-empty ErrorMessage (the
// failure carries the device's number and message).
Result<DeviceAnswer> readDeviceAnswer(int httpStatus, const QByteArray& body);

// Typed answers: the checks above, then the Value of the right JSON type (a bool, a finite number).
Result<bool> readBool(int httpStatus, const QByteArray& body);
Result<double> readNumber(int httpStatus, const QByteArray& body);
Result<int> readInteger(int httpStatus, const QByteArray& body);
Result<Done> readMethod(int httpStatus, const QByteArray& body);

// The management API's configured devices, telescopes only, as chooser entries on host:port. Entries without
// a usable number are skipped; DeviceType is compared without regard to case.
Result<std::vector<TelescopeEntry>> readConfiguredTelescopes(int httpStatus, const QByteArray& body,
                                                             const std::string& host, std::uint16_t port);

// A discovery reply {"AlpacaPort": n}: the port, or nothing when the datagram is not a reply.
std::optional<std::uint16_t> readDiscoveryReply(const QByteArray& datagram);

} // namespace telescope::alpaca
