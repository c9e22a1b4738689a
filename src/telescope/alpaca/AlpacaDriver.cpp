// The Driver interface over ASCOM Alpaca.
#include "telescope/alpaca/AlpacaDriver.h"

#include "common/Sky.h"
#include "telescope/alpaca/AlpacaAnswer.h"

#include <QTimer>

#include <utility>

namespace telescope::alpaca {

namespace {

// A transport outcome as a Result; otherwise hands the answer to read.
template <typename T, typename Read>
Result<T> interpret(const HttpAnswer& answer, const QString& where, Read read) {
    if (answer.status == 0) {
        const std::string what =
            answer.transportFailure == failureTimeout
                ? "no answer from " + where.toStdString() + " in time"
                : where.toStdString() + " could not be reached (" + answer.transportText.toStdString() + ")";
        return Result<T>::failed({answer.transportFailure, what});
    }
    return read(answer.status, answer.body);
}

QString number(double v) {
    return QString::number(v, 'g', 15);
}

} // namespace

double degreesPerSecond(double multiple) {
    return multiple * common::kSiderealArcsecPerSecond / common::kArcsecPerDegree;
}
double multipleOf15(double degreesPerSecond) {
    return degreesPerSecond * common::kArcsecPerDegree / common::kSiderealArcsecPerSecond;
}

AlpacaDriver::AlpacaDriver(const DriverId& id, QNetworkAccessManager& net, Timeouts timeouts, QObject* parent)
    : QObject(parent)
    , m_id(id)
    , m_timeouts(timeouts)
    , m_client(QString::fromStdString(id.host), id.port, net, this) {}

AlpacaDriver::~AlpacaDriver() = default;

std::string AlpacaDriver::id() const {
    return formatDriverId(m_id);
}

QString AlpacaDriver::member(const char* name) const {
    return QStringLiteral("/api/v1/telescope/%1/%2").arg(m_id.deviceNumber).arg(QLatin1String(name));
}

void AlpacaDriver::getBool(const char* name, Callback<bool> done) {
    m_client.get(member(name), m_timeouts.read, [this, done = std::move(done)](const HttpAnswer& a) {
        done(interpret<bool>(a, m_client.where(), readBool));
    });
}

void AlpacaDriver::getNumber(const char* name, Callback<double> done) {
    m_client.get(member(name), m_timeouts.read, [this, done = std::move(done)](const HttpAnswer& a) {
        done(interpret<double>(a, m_client.where(), readNumber));
    });
}

void AlpacaDriver::putMethod(const char* name, QUrlQuery form, int timeoutMs, Callback<Done> done) {
    m_client.put(member(name), std::move(form), timeoutMs,
                 [this, done = std::move(done)](const HttpAnswer& a) {
                     done(interpret<Done>(a, m_client.where(), readMethod));
                 });
}

void AlpacaDriver::open(Callback<Done> done) {
    m_client.get(member("interfaceversion"), m_timeouts.read,
                 [this, done = std::move(done)](const HttpAnswer& a) {
                     if (a.status == 400 || a.status == 404) {
                         done(Result<Done>::failed(
                             {a.status, m_client.where().toStdString() + " has no telescope number " +
                                            std::to_string(m_id.deviceNumber) + " (HTTP " +
                                            std::to_string(a.status) + ")"}));
                         return;
                     }
                     const auto version = interpret<int>(a, m_client.where(), readInteger);
                     if (version.ok()) {
                         m_interfaceVersion = *version.value;
                     } else if (version.failure.number > 0 && a.status == 200) {
                         // A device that cannot tell its interface version is an interface 1 device.
                         m_interfaceVersion = 1;
                     } else {
                         done(Result<Done>::failed(version.failure));
                         return;
                     }
                     done(Result<Done>::success(Done{}));
                 });
}

void AlpacaDriver::connect(Callback<Done> done) {
    // A mount shared with another program (a planetarium, a guider) may be connected already; it is left
    // connected when we let go.
    getBool("connected", [this, done = std::move(done)](const Result<bool>& before) mutable {
        if (!before.ok() && before.failure.number < 0) {
            done(Result<Done>::failed(before.failure)); // not reachable: a write would fail the same way
            return;
        }
        m_connectedByUs = !(before.ok() && *before.value);
        connectNow(std::move(done));
    });
}

void AlpacaDriver::connectNow(Callback<Done> done) {
    if (m_interfaceVersion < 4) {
        QUrlQuery form;
        form.addQueryItem(QStringLiteral("Connected"), QStringLiteral("true"));
        putMethod("connected", form, m_timeouts.connect, std::move(done));
        return;
    }
    putMethod("connect", {}, m_timeouts.read, [this, done = std::move(done)](const Result<Done>& r) {
        if (!r.ok()) {
            done(r);
            return;
        }
        const int tries = std::max(1, m_timeouts.connect / std::max(1, m_timeouts.connectingPoll));
        waitWhileConnecting(done, tries);
    });
}

void AlpacaDriver::waitWhileConnecting(Callback<Done> done, int triesLeft) {
    getBool("connecting", [this, done, triesLeft](const Result<bool>& connecting) {
        if (!connecting.ok()) {
            done(Result<Done>::failed(connecting.failure));
            return;
        }
        if (*connecting.value) {
            if (triesLeft <= 1) {
                done(Result<Done>::failed({failureTimeout, "the mount was still connecting after " +
                                                               std::to_string(m_timeouts.connect / 1000) +
                                                               " s"}));
                return;
            }
            QTimer::singleShot(m_timeouts.connectingPoll, this,
                               [this, done, triesLeft] { waitWhileConnecting(done, triesLeft - 1); });
            return;
        }
        getBool("connected", [done](const Result<bool>& connected) {
            if (!connected.ok())
                done(Result<Done>::failed(connected.failure));
            else if (!*connected.value)
                done(
                    Result<Done>::failed({failureUnreachable, "the mount reports that it is not connected"}));
            else
                done(Result<Done>::success(Done{}));
        });
    });
}

void AlpacaDriver::close(std::function<void()> closed) {
    if (!std::exchange(m_connectedByUs, false)) {
        closed();
        return;
    }
    auto answered = [closed = std::move(closed)](const HttpAnswer&) {
        closed();
    };
    if (m_interfaceVersion >= 4) {
        m_client.put(member("disconnect"), {}, m_timeouts.read, std::move(answered));
        return;
    }
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("Connected"), QStringLiteral("false"));
    m_client.put(member("connected"), form, m_timeouts.read, std::move(answered));
}

void AlpacaDriver::connected(Callback<bool> done) {
    getBool("connected", std::move(done));
}
void AlpacaDriver::canSetGuideRates(Callback<bool> done) {
    getBool("cansetguiderates", std::move(done));
}

void AlpacaDriver::setGuideRateRightAscension(double multiple, Callback<Done> done) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("GuideRateRightAscension"), number(degreesPerSecond(multiple)));
    putMethod("guideraterightascension", form, m_timeouts.read, std::move(done));
}

void AlpacaDriver::setGuideRateDeclination(double multiple, Callback<Done> done) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("GuideRateDeclination"), number(degreesPerSecond(multiple)));
    putMethod("guideratedeclination", form, m_timeouts.read, std::move(done));
}

void AlpacaDriver::guideRateRightAscension(Callback<double> done) {
    getNumber("guideraterightascension", [done = std::move(done)](const Result<double>& r) {
        done(r.ok() ? Result<double>::success(multipleOf15(*r.value)) : r);
    });
}

void AlpacaDriver::guideRateDeclination(Callback<double> done) {
    getNumber("guideratedeclination", [done = std::move(done)](const Result<double>& r) {
        done(r.ok() ? Result<double>::success(multipleOf15(*r.value)) : r);
    });
}

void AlpacaDriver::rightAscension(Callback<double> done) {
    getNumber("rightascension", std::move(done));
}
void AlpacaDriver::declination(Callback<double> done) {
    getNumber("declination", std::move(done));
}
void AlpacaDriver::atPark(Callback<bool> done) {
    getBool("atpark", std::move(done));
}

void AlpacaDriver::unpark(Callback<Done> done) {
    putMethod("unpark", {}, m_timeouts.longWrite, std::move(done));
}

void AlpacaDriver::pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("Direction"), QString::number(static_cast<int>(direction)));
    form.addQueryItem(QStringLiteral("Duration"), QString::number(durationMs));
    putMethod("pulseguide", form, durationMs + m_timeouts.pulseMargin, std::move(done));
}

} // namespace telescope::alpaca
