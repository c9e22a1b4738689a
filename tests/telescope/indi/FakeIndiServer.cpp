// The replaying INDI server for tests (see FakeIndiServer.h).
#include "telescope/indi/FakeIndiServer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTimer>

FakeIndiServer::FakeIndiServer(const QString& sessionFile, int readBytes)
    : m_readBytes(readBytes) {
    QFile file(sessionFile);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(sessionFile));
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("#> ")) {
            m_steps.append(Step{QString::fromUtf8(line.mid(3)).trimmed(), {QByteArray()}});
        } else if (line.startsWith("#= hold")) {
            if (!m_steps.isEmpty())
                m_steps.last().parts.append(QByteArray());
        } else if (!line.startsWith('#') && !m_steps.isEmpty()) {
            m_steps.last().parts.last() += line + '\n';
        }
    }
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        QTcpSocket* client = m_server.nextPendingConnection();
        if (m_client) {
            client->abort();
            return;
        }
        m_client = client;
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater); // hasClient() then false
        connect(client, &QTcpSocket::readyRead, this, [this, client] {
            m_fromClient += client->readAll();
            qsizetype end;
            while ((end = m_fromClient.indexOf('\n')) >= 0) {
                onCommand(QString::fromUtf8(m_fromClient.left(end)));
                m_fromClient.remove(0, end + 1);
            }
        });
    });
}

QByteArray FakeIndiServer::answer(const QString& name, int occurrence) const {
    for (const Step& step : m_steps)
        if (step.trigger == name && occurrence-- == 0)
            return step.parts.join();
    return {};
}

void FakeIndiServer::onCommand(const QString& command) {
    m_received.append(command);
    static const QRegularExpression nameAttribute(QStringLiteral("name=\"([^\"]*)\""));
    const QString trigger = command.startsWith(QLatin1String("<getProperties"))
                                ? QStringLiteral("getProperties")
                                : nameAttribute.match(command).captured(1);
    for (Step& step : m_steps) {
        if (step.used || step.trigger != trigger)
            continue;
        step.used = true;
        send(step.parts.first());
        m_held = step.parts.mid(1);
        return;
    }
}

void FakeIndiServer::send(const QByteArray& bytes) {
    m_outgoing += bytes;
    pump();
}

void FakeIndiServer::resume() {
    if (!m_held.isEmpty())
        send(m_held.takeFirst());
}

// One read's worth at a time, with a turn of the event loop between, so that the client sees the values
// split.
void FakeIndiServer::pump() {
    if (!m_client || m_outgoing.isEmpty())
        return;
    const qsizetype n = m_readBytes > 0 ? qMin<qsizetype>(m_readBytes, m_outgoing.size()) : m_outgoing.size();
    m_client->write(m_outgoing.left(n));
    m_client->flush();
    m_outgoing.remove(0, n);
    if (!m_outgoing.isEmpty())
        QTimer::singleShot(1, this, &FakeIndiServer::pump);
}

void FakeIndiServer::dropClient() {
    if (m_client)
        m_client->abort();
    m_server.close();
}

QString sessionPath(const char* name) {
    return QStringLiteral(QEL_INDI_SESSIONS "/") + QLatin1String(name) + QStringLiteral(".indi");
}
