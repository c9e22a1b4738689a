// A small HTTP/1.1 server on QTcpServer for the mount simulator: keeps connections alive, reads bodies by
// Content-Length, decodes query strings and form bodies as form decoders do ('+' is a blank), and hands
// each request to the AlpacaDevice.
#pragma once

#include "AlpacaDevice.h"

#include <QElapsedTimer>
#include <QTcpServer>

namespace mountsim {

// Decodes "a=1&b=x%2By" as a form decoder does.
std::multimap<std::string, std::string> decodeForm(const QByteArray& text);

class HttpServer : public QObject {
    Q_OBJECT
public:
    HttpServer(AlpacaDevice& device, QObject* parent = nullptr);
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

private:
    void onConnection();
    void serve(QTcpSocket* socket);

    AlpacaDevice& m_device;
    QTcpServer m_server;
    QElapsedTimer m_clock;
};

} // namespace mountsim
