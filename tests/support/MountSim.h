// tools/alpaca-mount-sim as a child process on 127.0.0.1 for one test, and a helper that runs one driver call
// to its answer. Used by the Alpaca driver test and the window's reconnection test (ALPACA_MOUNT_SIM names
// the program).
#pragma once

#include "telescope/Driver.h"
#include "telescope/DriverId.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTest>

#include <optional>

class MountSim {
public:
    explicit MountSim(QStringList args) {
        m_process.setProgram(QStringLiteral(ALPACA_MOUNT_SIM));
        m_process.setArguments(args);
        m_process.start();
        if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000)) {
            const QByteArray line = m_process.readLine();
            const int at = line.indexOf("127.0.0.1:");
            if (at >= 0)
                port = line.mid(at + 10).split(' ').value(0).toUShort();
        }
    }
    ~MountSim() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    telescope::DriverId id(unsigned number = 0) const {
        return {telescope::Backend::Alpaca, "127.0.0.1", port, number, {}};
    }
    QByteArray control(const char* verb, const QString& path, const QByteArray& body = {}) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        QNetworkReply* reply = m_net.sendCustomRequest(request, verb, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->readAll();
    }
    void fault(const char* name) { control("PUT", "/sim/fault", QByteArray("Fault=") + name); }
    // Every request the simulator received, one a line.
    QByteArray requests() { return control("GET", "/sim/requests"); }
    bool received(const QByteArray& line) {
        return QTest::qWaitFor([&] { return requests().contains(line); }, 10000);
    }

    quint16 port = 0;

private:
    QProcess m_process;
    QNetworkAccessManager m_net;
};

// Runs one driver call to its answer, e.g. ask<double>(driver, &Driver::declination); a call that never
// answers fails with -99.
template <typename T, typename D, typename... P, typename... A>
telescope::Result<T> ask(D& driver, void (telescope::Driver::*member)(P...), A... args) {
    std::optional<telescope::Result<T>> result;
    (driver.*member)(args..., [&](const telescope::Result<T>& r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        return telescope::Result<T>::failed({-99, "the test saw no answer"});
    return *result;
}
