// A loopback INDI server for tests that replays a captured session: each answer goes out when the client
// sends the command it answered, cut into reads of a chosen size. Also sends anything on demand and can
// vanish.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>

class FakeIndiServer : public QObject {
    Q_OBJECT
public:
    // sessionFile: "#> NAME" starts the answer to the client's command on property NAME (or getProperties);
    // "#= hold" stops an answer until resume(); other lines starting with '#' are comments.
    explicit FakeIndiServer(const QString& sessionFile, int readBytes = 0);

    quint16 port() const { return m_server.serverPort(); }
    bool hasClient() const { return !m_client.isNull(); }
    // The commands the client sent, one per line.
    const QStringList& received() const { return m_received; }
    // The answer of a step in the session file, e.g. the second "getProperties" one, for sending again later.
    QByteArray answer(const QString& name, int occurrence = 0) const;

    bool allSent() const { return m_outgoing.isEmpty(); }
    void send(const QByteArray& bytes);
    void resume();
    void dropClient();

private:
    struct Step {
        QString trigger;
        QList<QByteArray> parts; // separated by holds
        bool used = false;
    };
    void onCommand(const QString& command);
    void pump();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QList<Step> m_steps;
    QList<QByteArray> m_held;
    QByteArray m_outgoing;
    QByteArray m_fromClient;
    QStringList m_received;
    int m_readBytes;
};

// Runs the event loop until done() holds or 20 s have passed (a guard against a hang, not a timing check).
inline bool waitUntil(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 20000);
}
// The path of a captured session in tests/telescope/indi/sessions.
QString sessionPath(const char* name);
