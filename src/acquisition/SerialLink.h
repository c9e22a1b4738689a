// CommPort1: the serial link to the QEL unit over QSerialPort. Opens the port chosen by number with the
// line settings "9600,n,8,1" and hands every received byte, in order, to the window through received().
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <string>
#include <string_view>

#include "acquisition/PortDevice.h"

namespace acquisition {

// Outcome of SerialLink::open. On failure `reason` is the system's words ("No such file or directory",
// "Permission error while locking the device") and `device` the device that could not be opened.
struct OpenResult {
    bool ok = false;
    QString device; // the device opened or tried: "/dev/ttyUSB0", "/dev/pts/5", "COM3"; empty if none
    QString link;   // the COM<n> link in the working directory it was reached through; empty otherwise
    QString reason; // empty when ok

    explicit operator bool() const { return ok; }
    // One line for the operator: "/dev/pts/5 (via /home/obs/COM1)", or on failure
    // "/dev/ttyUSB2: No such file or directory".
    QString describe() const;
};

class SerialLink : public QObject {
    Q_OBJECT
public:
    // A read that follows the last by less than kBusyMs lets the port rest kRestMs before it is read
    // again: a unit that sends 960 readings a second then wakes the window about 90 times a second with
    // ten or so readings each, not once per byte, and a reading waits at most kRestMs. Slower readings are
    // read as they come.
    static constexpr int kRestMs = 10;
    static constexpr int kBusyMs = 50;

    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // Opens port `portNumber` (1 … 255, see choosePortDevice) found from `workDir`, by default the
    // current working directory. Closes first if already open. DTR is raised and RTS lowered where the
    // device has modem lines (a pseudo-terminal has none; that is not a failure).
    OpenResult open(int portNumber, std::string_view settings = qelLineSettings);
    OpenResult open(int portNumber, const QString& workDir, std::string_view settings = qelLineSettings);
    // Opens a device by path ("/dev/pts/5", "COM3").
    OpenResult openDevice(const QString& device, std::string_view settings = qelLineSettings);

    // Opens again, after the device went away, the port of the last successful open by the same route
    // (findReopenDevice): its COM<n> link followed afresh, or the same device name, with the same line
    // settings. Closes first. A link that leads to nothing yet is not back: no device is tried, and the
    // result has an empty `device` and the reason in words. Fails when nothing was opened before.
    OpenResult reopen();

    // Releases the port; does nothing when it is not open. received() and linkLost() are not emitted after.
    void close();
    bool isOpen() const;
    // While open: readings that follow closely are read in batches (the port's read notifier was found and is
    // rested between reads). False means every arrival is read on its own: a Qt whose QSerialPort no longer
    // keeps its read notifier among its children, which costs the window about twice the CPU at 960
    // readings/s. A test fails loudly then.
    bool readsInBatches() const { return m_readNotifier; }

    // The device of the last successful open ("/dev/pts/5"); kept after close for the operator to read.
    QString device() const { return m_opened.device; }
    // The COM<n> link in the working directory that led to device(), as a path; empty when there was none.
    QString link() const { return m_opened.link; }
    // Like device(), with the COM<n> link when there was one: "/dev/pts/5 (via /home/obs/COM1)".
    QString deviceDescription() const { return m_opened.describe(); }

signals:
    // Every byte received since the last emission, in arrival order; one byte is one reading. Emitted
    // from the event loop when bytes arrive (and once more with what is left when the link is lost);
    // never empty.
    void received(const QByteArray& bytes);
    // The device went away while open (unit unplugged, other end hung up). Emitted once; the port is
    // already closed when it arrives. `reason`: "the device hung up or was unplugged (<the system's words>)".
    void linkLost(const QString& reason);

private:
    OpenResult openPath(const QString& device, const QString& link, std::string_view settings);
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    OpenResult m_opened;
    std::string m_settings{qelLineSettings}; // of the last successful open, for reopen()
    // The port's own read notifier, rested after each read. QSerialPort has no call for it, so it is found
    // among the port's children after open; without it every arrival is read at once, as before.
    QPointer<QSocketNotifier> m_readNotifier;
    QTimer m_rest;
    QElapsedTimer m_sinceRead;
};

} // namespace acquisition
