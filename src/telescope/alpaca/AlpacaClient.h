// One Alpaca server as seen over HTTP: GET and PUT requests with ClientID and ClientTransactionID, per-call
// time limits, the answer handed on as status and body. Used by AlpacaDriver and the management listing.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrlQuery>

#include <functional>
#include <set>

class QNetworkAccessManager;
class QNetworkReply;

namespace telescope::alpaca {

// The transport's outcome of one request: an HTTP status and body, or no answer at all.
struct HttpAnswer {
    int status = 0; // 0: no HTTP answer (see transportFailure)
    QByteArray body;
    int transportFailure = 0; // failureTimeout or failureUnreachable when status is 0
    QString transportText;    // what the network layer said
};

class AlpacaClient : public QObject {
    Q_OBJECT
public:
    // net must outlive the client. A request still running when the client is destroyed is cancelled and its
    // callback never runs.
    AlpacaClient(QString host, quint16 port, QNetworkAccessManager& net, QObject* parent = nullptr);
    ~AlpacaClient() override;

    using Answered = std::function<void(const HttpAnswer&)>;

    // GET path ("/api/v1/telescope/0/declination"), parameters in the query string.
    void get(const QString& path, int timeoutMs, Answered done, QUrlQuery query = {});
    // PUT path with the form body (names exactly as given; ClientID and ClientTransactionID are added).
    void put(const QString& path, QUrlQuery form, int timeoutMs, Answered done);

    QString where() const { return m_host + ":" + QString::number(m_port); }

    // The ClientID sent by every client of this program: one random number in 1 ... 65535 per run.
    static quint32 clientId();

private:
    QNetworkReply* send(const QString& path, const QUrlQuery& query, const QByteArray* formBody,
                        int timeoutMs);
    void watch(QNetworkReply* reply, Answered done);
    QUrlQuery withIds(QUrlQuery query) const;

    QString m_host;
    quint16 m_port;
    QNetworkAccessManager& m_net;
    std::set<QNetworkReply*> m_inFlight;
};

// A form body with '+' sent as %2B: form decoders read a bare '+' as a blank (1e+10 would arrive as "1e 10").
QByteArray formBody(const QUrlQuery& form);

} // namespace telescope::alpaca
