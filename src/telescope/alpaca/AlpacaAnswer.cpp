// Alpaca answers read defensively: a device's body may be anything.
#include "telescope/alpaca/AlpacaAnswer.h"

#include "telescope/DriverId.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace telescope::alpaca {

namespace {

Failure malformed(const std::string& what) {
    return {failureMalformed, what};
}

// The text of a non-JSON body, shortened and with control characters made visible as blanks.
std::string bodyText(const QByteArray& body) {
    std::string text = body.left(200).toStdString();
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::optional<QJsonObject> jsonObject(const QByteArray& body) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

// A whole number within int64 from a JSON number or a numeric string (some devices send strings).
std::optional<std::int64_t> wholeNumber(const QJsonValue& v) {
    double d = 0;
    if (v.isDouble())
        d = v.toDouble();
    else if (v.isString()) {
        bool ok = false;
        d = v.toString().toDouble(&ok);
        if (!ok)
            return std::nullopt;
    } else
        return std::nullopt;
    if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.0e15)
        return std::nullopt;
    return static_cast<std::int64_t>(d);
}

} // namespace

Result<DeviceAnswer> readDeviceAnswer(int httpStatus, const QByteArray& body) {
    if (httpStatus != 200) {
        const std::string text = bodyText(body);
        return Result<DeviceAnswer>::failed(
            {httpStatus,
             "the device answered HTTP " + std::to_string(httpStatus) + (text.empty() ? "" : ": " + text)});
    }
    const auto object = jsonObject(body);
    if (!object)
        return Result<DeviceAnswer>::failed(malformed("the device's answer is not readable JSON"));
    const QJsonValue numberValue = object->value(QLatin1String("ErrorNumber"));
    const QJsonValue messageValue = object->value(QLatin1String("ErrorMessage"));
    std::int64_t number = 0;
    if (!numberValue.isUndefined() && !numberValue.isNull()) {
        const auto n = wholeNumber(numberValue);
        if (!n)
            return Result<DeviceAnswer>::failed(malformed("the device's ErrorNumber is not a number"));
        number = *n;
    }
    const std::string message =
        messageValue.isString() ? messageValue.toString().toStdString() : std::string();
    if (number != 0 || !message.empty()) {
        // Error numbers outside int (never sent by a sound device) become the unspecified error 0x4FF.
        const int reported = (number > 0 && number <= 0xFFFF) ? static_cast<int>(number) : 0x4FF;
        return Result<DeviceAnswer>::failed({reported, message.empty() ? "no message" : message});
    }
    DeviceAnswer answer;
    answer.value = object->value(QLatin1String("Value"));
    answer.clientTransactionId = wholeNumber(object->value(QLatin1String("ClientTransactionID")));
    return Result<DeviceAnswer>::success(answer);
}

Result<bool> readBool(int httpStatus, const QByteArray& body) {
    auto answer = readDeviceAnswer(httpStatus, body);
    if (!answer.ok())
        return Result<bool>::failed(answer.failure);
    if (!answer.value->value.isBool())
        return Result<bool>::failed(malformed("the device's Value is not true or false"));
    return Result<bool>::success(answer.value->value.toBool());
}

Result<double> readNumber(int httpStatus, const QByteArray& body) {
    auto answer = readDeviceAnswer(httpStatus, body);
    if (!answer.ok())
        return Result<double>::failed(answer.failure);
    const QJsonValue& v = answer.value->value;
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        return Result<double>::failed(malformed("the device's Value is not a number"));
    return Result<double>::success(v.toDouble());
}

Result<int> readInteger(int httpStatus, const QByteArray& body) {
    auto answer = readDeviceAnswer(httpStatus, body);
    if (!answer.ok())
        return Result<int>::failed(answer.failure);
    const auto n = wholeNumber(answer.value->value);
    if (!n || *n < INT32_MIN || *n > INT32_MAX)
        return Result<int>::failed(malformed("the device's Value is not a whole number"));
    return Result<int>::success(static_cast<int>(*n));
}

Result<Done> readMethod(int httpStatus, const QByteArray& body) {
    auto answer = readDeviceAnswer(httpStatus, body);
    if (!answer.ok())
        return Result<Done>::failed(answer.failure);
    return Result<Done>::success(Done{});
}

Result<std::vector<TelescopeEntry>> readConfiguredTelescopes(int httpStatus, const QByteArray& body,
                                                             const std::string& host, std::uint16_t port) {
    using R = Result<std::vector<TelescopeEntry>>;
    auto answer = readDeviceAnswer(httpStatus, body);
    if (!answer.ok())
        return R::failed(answer.failure);
    if (!answer.value->value.isArray())
        return R::failed(malformed("the server's list of devices is not a list"));
    std::vector<TelescopeEntry> entries;
    const std::string where = host + ":" + std::to_string(port);
    for (const QJsonValue& item : answer.value->value.toArray()) {
        const QJsonObject device = item.toObject();
        if (device.value(QLatin1String("DeviceType"))
                .toString()
                .compare(QLatin1String("Telescope"), Qt::CaseInsensitive) != 0)
            continue;
        const auto number = wholeNumber(device.value(QLatin1String("DeviceNumber")));
        if (!number || *number < 0 || *number > UINT32_MAX)
            continue;
        DriverId id;
        id.backend = Backend::Alpaca;
        id.host = host;
        id.port = port;
        id.deviceNumber = static_cast<unsigned>(*number);
        entries.push_back(
            {formatDriverId(id), device.value(QLatin1String("DeviceName")).toString().toStdString(), where});
    }
    return R::success(std::move(entries));
}

std::optional<std::uint16_t> readDiscoveryReply(const QByteArray& datagram) {
    const auto object = jsonObject(datagram);
    if (!object)
        return std::nullopt;
    const auto port = wholeNumber(object->value(QLatin1String("AlpacaPort")));
    if (!port || *port < 1 || *port > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(*port);
}

} // namespace telescope::alpaca
