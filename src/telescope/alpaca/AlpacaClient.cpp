// HTTP requests to one Alpaca server over Qt Network.
#include "telescope/alpaca/AlpacaClient.h"

#include "telescope/Driver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

#include <atomic>

namespace telescope::alpaca {

namespace {

// One counter for every request of the program, as the transaction IDs are meant to be.
std::atomic<quint32> transactionCounter{0};

} // namespace

QByteArray formBody(const QUrlQuery& form) {
    QByteArray body = form.toString(QUrl::FullyEncoded).toUtf8();
    body.replace("+", "%2B");
    return body;
}

quint32 AlpacaClient::clientId() {
    static const quint32 id = QRandomGenerator::global()->bounded(1u, 65536u);
    return id;
}

AlpacaClient::AlpacaClient(QString host, quint16 port, QNetworkAccessManager& net, QObject* parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_port(port)
    , m_net(net) {}

AlpacaClient::~AlpacaClient() {
    for (QNetworkReply* reply : std::set<QNetworkReply*>(m_inFlight)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

QUrlQuery AlpacaClient::withIds(QUrlQuery query) const {
    query.addQueryItem(QStringLiteral("ClientID"), QString::number(clientId()));
    query.addQueryItem(QStringLiteral("ClientTransactionID"), QString::number(++transactionCounter));
    return query;
}

QNetworkReply* AlpacaClient::send(const QString& path, const QUrlQuery& query, const QByteArray* body,
                                  int timeoutMs) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(path);
    if (!body)
        url.setQuery(query);
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    request.setTransferTimeout(timeoutMs);
    if (!body)
        return m_net.get(request);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    return m_net.put(request, *body);
}

void AlpacaClient::watch(QNetworkReply* reply, Answered done) {
    m_inFlight.insert(reply);
    // The network manager may go first and take its replies with it.
    connect(reply, &QObject::destroyed, this, [this, reply] { m_inFlight.erase(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        m_inFlight.erase(reply);
        reply->deleteLater();
        HttpAnswer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (answer.status != 0) {
            answer.body = reply->readAll();
        } else {
            answer.transportFailure = reply->error() == QNetworkReply::OperationCanceledError ||
                                              reply->error() == QNetworkReply::TimeoutError
                                          ? failureTimeout
                                          : failureUnreachable;
            answer.transportText = reply->errorString();
        }
        done(answer);
    });
}

void AlpacaClient::get(const QString& path, int timeoutMs, Answered done, QUrlQuery query) {
    watch(send(path, withIds(std::move(query)), nullptr, timeoutMs), std::move(done));
}

void AlpacaClient::put(const QString& path, QUrlQuery form, int timeoutMs, Answered done) {
    const QByteArray body = formBody(withIds(std::move(form)));
    watch(send(path, {}, &body, timeoutMs), std::move(done));
}

} // namespace telescope::alpaca
