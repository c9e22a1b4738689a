// CommPort1 over QSerialPort.
#include "acquisition/SerialLink.h"

#include <QDir>
#include <QFile>

namespace acquisition {

namespace {

QSerialPort::Parity qtParity(char parity) {
    switch (parity) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'o':
        return QSerialPort::OddParity;
    case 'm':
        return QSerialPort::MarkParity;
    case 's':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::DataBits qtDataBits(int bits) {
    switch (bits) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    default:
        return QSerialPort::Data8;
    }
}

OpenResult failure(const QString& device, const QString& link, const QString& reason) {
    return OpenResult{false, device, link, reason};
}

} // namespace

QString OpenResult::describe() const {
    QString text = device;
    if (!link.isEmpty())
        text += QStringLiteral(" (via %1)").arg(link);
    if (!ok && !reason.isEmpty())
        text = text.isEmpty() ? reason : text + QStringLiteral(": ") + reason;
    return text;
}

SerialLink::SerialLink(QObject* parent)
    : QObject(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
    m_rest.setSingleShot(true);
    m_rest.setInterval(kRestMs);
    connect(&m_rest, &QTimer::timeout, this, [this] {
        if (m_readNotifier && m_port.isOpen())
            m_readNotifier->setEnabled(true); // what came meanwhile is read at once
    });
}

SerialLink::~SerialLink() {
    // Disconnect first: closing must not call back into a half-destroyed object.
    m_port.disconnect(this);
    m_port.close();
}

OpenResult SerialLink::open(int portNumber, std::string_view settings) {
    return open(portNumber, QDir::currentPath(), settings);
}

OpenResult SerialLink::open(int portNumber, const QString& workDir, std::string_view settings) {
    close();
    const auto found = findPortDevice(portNumber, QFile::encodeName(workDir).toStdString());
    if (!found) {
        return failure({}, {},
                       QStringLiteral("Port %1 is not a serial port number (%2 to %3)")
                           .arg(portNumber)
                           .arg(lowestPortNumber)
                           .arg(highestPortNumber));
    }
    return openPath(QFile::decodeName(found->path.c_str()), QFile::decodeName(found->link.c_str()), settings);
}

OpenResult SerialLink::openDevice(const QString& device, std::string_view settings) {
    close();
    return openPath(device, {}, settings);
}

OpenResult SerialLink::reopen() {
    close();
    if (!m_opened.ok)
        return failure({}, {}, QStringLiteral("No port was opened before"));
    const PortDevice before{QFile::encodeName(m_opened.device).toStdString(),
                            QFile::encodeName(m_opened.link).toStdString()};
    const ReopenChoice choice = findReopenDevice(before);
    if (!choice.device)
        return failure({}, {}, QFile::decodeName(choice.notBack.c_str()));
    return openPath(QFile::decodeName(choice.device->path.c_str()),
                    QFile::decodeName(choice.device->link.c_str()), m_settings);
}

OpenResult SerialLink::openPath(const QString& device, const QString& link, std::string_view settings) {
    const auto line = parseLineSettings(settings);
    if (!line) {
        return failure(
            device, link,
            QStringLiteral("Line settings \"%1\" are not of the form \"%2\"")
                .arg(QString::fromUtf8(settings.data(), qsizetype(settings.size())),
                     QString::fromUtf8(qelLineSettings.data(), qsizetype(qelLineSettings.size()))));
    }

    m_port.setPortName(device);
    m_port.setBaudRate(line->baud);
    m_port.setParity(qtParity(line->parity));
    m_port.setDataBits(qtDataBits(line->dataBits));
    m_port.setStopBits(line->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);

    if (!m_port.open(QIODevice::ReadOnly)) {
        const QString reason = m_port.errorString();
        m_port.clearError();
        return failure(device, link, reason);
    }
    // DTR on, RTS off. A pseudo-terminal has no modem lines: there both fail with
    // UnsupportedOperationError, which is no reason to refuse the port.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(false);
    m_port.clearError();

    m_readNotifier = nullptr;
    for (QSocketNotifier* notifier : m_port.findChildren<QSocketNotifier*>()) {
        if (notifier->type() == QSocketNotifier::Read && notifier->socket() == m_port.handle())
            m_readNotifier = notifier;
    }

    m_opened = OpenResult{true, device, link, {}};
    m_settings = std::string(settings);
    return m_opened;
}

void SerialLink::close() {
    m_rest.stop();
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

bool SerialLink::isOpen() const {
    return m_port.isOpen();
}

void SerialLink::onReadyRead() {
    const QByteArray bytes = m_port.readAll();
    const bool busy = m_sinceRead.isValid() && m_sinceRead.elapsed() < kBusyMs;
    m_sinceRead.start();
    if (busy && m_readNotifier && m_port.isOpen() && !m_rest.isActive()) {
        m_readNotifier->setEnabled(false);
        m_rest.start();
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

void SerialLink::onError(QSerialPort::SerialPortError error) {
    // While closed, errors belong to open(), which reads and clears them itself.
    if (error == QSerialPort::NoError || !m_port.isOpen())
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        m_port.clearError(); // e.g. modem lines on a pseudo-terminal: not a reason to drop the link
        return;
    }

    // The other end is gone. Qt keeps such a port open and repeats the error at full CPU speed, so
    // close at the first one; hand over what had already arrived first, nothing is lost.
    // A hang-up reads as end of file and Qt then reports a stale errno (on a pseudo-terminal
    // "Inappropriate ioctl for device"), so lead with plain words and keep the system's after them.
    const QString reason =
        QStringLiteral("the device hung up or was unplugged (%1)").arg(m_port.errorString());
    const QByteArray rest = m_port.readAll();
    if (!rest.isEmpty())
        emit received(rest);
    if (!m_port.isOpen())
        return; // the receiver closed the link itself
    m_port.close();
    m_port.clearError();
    emit linkLost(reason);
}

} // namespace acquisition
