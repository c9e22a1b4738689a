// The mount simulator's HTTP server.
#include "HttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace mountsim {

std::multimap<std::string, std::string> decodeForm(const QByteArray& text) {
    std::multimap<std::string, std::string> params;
    for (QByteArray pair : text.split('&')) {
        if (pair.isEmpty())
            continue;
        pair.replace('+', ' ');
        const int eq = pair.indexOf('=');
        const QByteArray key = eq < 0 ? pair : pair.left(eq);
        const QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        params.emplace(QByteArray::fromPercentEncoding(key).toStdString(),
                       QByteArray::fromPercentEncoding(value).toStdString());
    }
    return params;
}

HttpServer::HttpServer(AlpacaDevice& device, QObject* parent)
    : QObject(parent)
    , m_device(device) {
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::onConnection);
}

bool HttpServer::listen(const QHostAddress& address, quint16 port) {
    return m_server.listen(address, port);
}

void HttpServer::onConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpServer::serve(QTcpSocket* socket) {
    // One request at a time per connection; a slow answer holds the connection, as a blocked device would.
    if (socket->property("busy").toBool())
        return;
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        socket->setProperty("buffer", buffer);
        return;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    qsizetype contentLength = 0;
    for (const QByteArray& line : lines.mid(1)) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            contentLength = line.mid(colon + 1).trimmed().toLongLong();
    }
    if (buffer.size() < headerEnd + 4 + contentLength) {
        socket->setProperty("buffer", buffer);
        return;
    }
    const QByteArray body = buffer.mid(headerEnd + 4, contentLength);
    socket->setProperty("buffer", buffer.mid(headerEnd + 4 + contentLength));

    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.verb = requestLine.value(0).toStdString();
    const QByteArray target = requestLine.value(1);
    const int question = target.indexOf('?');
    request.path =
        QByteArray::fromPercentEncoding(question < 0 ? target : target.left(question)).toStdString();
    request.params =
        decodeForm(request.verb == "GET" ? (question < 0 ? QByteArray() : target.mid(question + 1)) : body);

    const Answer answer = m_device.handle(request, m_clock.elapsed() / 1000.0);
    const QByteArray reply = QByteArray("HTTP/1.1 ") + QByteArray::number(answer.status) +
                             (answer.status == 200   ? " OK"
                              : answer.status == 400 ? " Bad Request"
                                                     : " Error") +
                             "\r\nContent-Type: " + QByteArray::fromStdString(answer.contentType) +
                             "\r\nContent-Length: " + QByteArray::number(qsizetype(answer.body.size())) +
                             "\r\nConnection: keep-alive\r\n\r\n" + QByteArray::fromStdString(answer.body);
    QPointer<QTcpSocket> guarded(socket);
    auto send = [this, guarded, reply] {
        if (!guarded)
            return;
        guarded->write(reply);
        guarded->setProperty("busy", false);
        if (!guarded->property("buffer").toByteArray().isEmpty() || guarded->bytesAvailable())
            serve(guarded);
    };
    if (answer.delayMs < 0) {
        socket->setProperty("busy", true); // never answered: the client's own time limit ends the wait
    } else if (answer.delayMs > 0) {
        socket->setProperty("busy", true);
        QTimer::singleShot(answer.delayMs, this, send);
    } else {
        send();
    }
}

} // namespace mountsim
