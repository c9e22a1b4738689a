// CommPort1 against a pseudo-terminal playing the QEL unit: every byte arrives, in order, however it is
// chunked; hang-up, missing and busy devices are reported in words; COM<n> links lead to their device.
#include <QByteArray>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include "acquisition/SerialLink.h"
#include "support/PtyPair.h"

using acquisition::OpenResult;
using acquisition::SerialLink;
using testsupport::PtyPair;

namespace {

// Collects everything received() hands over.
struct Receiver {
    QByteArray bytes;
    int emissions = 0;

    explicit Receiver(SerialLink& link) {
        QObject::connect(&link, &SerialLink::received, [this](const QByteArray& chunk) {
            bytes += chunk;
            ++emissions;
        });
    }
};

std::vector<std::uint8_t> asVector(const QByteArray& bytes) {
    return {bytes.begin(), bytes.end()};
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT

private slots:
    void everyByteValueArrivesUnchanged();
    void burstArrivesCompleteAndInOrder();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();
    void hangUpClosesPortAndReportsOnce();
    void missingDeviceNamesDeviceAndReason();
    void danglingComLinkFailsInsteadOfFallingThrough();
    void comLinkLeadsToItsDevice();
    void portInUseFailsWithReason();
    void closeIsIdempotentAndPortReopens();
    void refusesWhatItCannotOpen_data();
    void refusesWhatItCannotOpen();
};

void TestSerialLink::everyByteValueArrivesUnchanged() {
    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    SerialLink link;
    Receiver receiver(link);
    const OpenResult opened = link.openDevice(QString::fromStdString(pty.slavePath()));
    QVERIFY2(opened.ok, qPrintable(opened.describe()));

    QByteArray sent;
    for (int round = 0; round < 4; ++round)
        for (int value = 0; value < 256; ++value)
            sent.append(static_cast<char>(value));
    QVERIFY(pty.write(asVector(sent)));

    QTRY_COMPARE(receiver.bytes.size(), sent.size());
    QCOMPARE(receiver.bytes, sent);
}

void TestSerialLink::burstArrivesCompleteAndInOrder() {
    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    SerialLink link;
    Receiver receiver(link);
    QVERIFY(link.openDevice(QString::fromStdString(pty.slavePath())).ok);

    // Far more than the pseudo-terminal holds, in a pattern where a lost or repeated byte shows.
    QByteArray sent;
    for (int i = 0; i < 20000; ++i)
        sent.append(static_cast<char>((i * 7 + i / 256) & 0xff));
    pty.writeInBackground(asVector(sent), 64);

    QTRY_COMPARE_WITH_TIMEOUT(receiver.bytes.size(), sent.size(), 30000);
    QCOMPARE(receiver.bytes, sent);
    QVERIFY2(receiver.emissions < sent.size(),
             "every emission carried one byte: the burst did not exercise several readings per arrival");
}

void TestSerialLink::lineSettingsReachTheDevice_data() {
    // A pseudo-terminal always keeps 8 data bits without parity, so only speed, stop bits and flow
    // control can be read back here.
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("twoStopBits");

    QTest::newRow("QEL line") << "9600,n,8,1" << int(B9600) << false;
    QTest::newRow("other line") << "4800,E,7,2" << int(B4800) << true;
}

void TestSerialLink::lineSettingsReachTheDevice() {
    QFETCH(QString, settings);
    QFETCH(int, speed);
    QFETCH(bool, twoStopBits);

    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    // Start from something else, so that nothing passes by being left as it was.
    termios other{};
    QCOMPARE(tcgetattr(pty.slaveFd(), &other), 0);
    cfsetspeed(&other, B1200);
    other.c_cflag |= (twoStopBits ? 0 : CSTOPB) | CRTSCTS;
    other.c_iflag |= IXON | IXOFF;
    QCOMPARE(tcsetattr(pty.slaveFd(), TCSANOW, &other), 0);

    SerialLink link;
    const OpenResult opened =
        link.openDevice(QString::fromStdString(pty.slavePath()), settings.toLatin1().toStdString());
    QVERIFY2(opened.ok, qPrintable(opened.describe()));

    termios line{};
    QCOMPARE(tcgetattr(pty.slaveFd(), &line), 0);
    QCOMPARE(int(cfgetispeed(&line)), speed);
    QCOMPARE(int(cfgetospeed(&line)), speed);
    QCOMPARE(bool(line.c_cflag & CSTOPB), twoStopBits);
    QVERIFY(!(line.c_cflag & CRTSCTS));
    QVERIFY(!(line.c_iflag & (IXON | IXOFF)));
}

void TestSerialLink::hangUpClosesPortAndReportsOnce() {
    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    SerialLink link;
    Receiver receiver(link);
    QSignalSpy lost(&link, &SerialLink::linkLost);
    QVERIFY(link.openDevice(QString::fromStdString(pty.slavePath())).ok);
    QVERIFY(pty.write(asVector(QByteArray("\x7f\x7e\x80"))));
    QTRY_COMPARE(receiver.bytes, QByteArray("\x7f\x7e\x80"));

    pty.hangUp();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!link.isOpen());
    const QString reason = lost.first().first().toString();
    QVERIFY2(reason.startsWith(QStringLiteral("the device hung up or was unplugged (")), qPrintable(reason));

    // A port left open after a hang-up repeats its error at full speed: watch for that.
    const double before = cpuSeconds();
    QTest::qWait(400);
    const double used = cpuSeconds() - before;
    QVERIFY2(used < 0.15, qPrintable(QStringLiteral("%1 s of CPU in 0.4 s after hang-up").arg(used)));
    QCOMPARE(lost.count(), 1);
    QCOMPARE(receiver.bytes, QByteArray("\x7f\x7e\x80"));
}

void TestSerialLink::missingDeviceNamesDeviceAndReason() {
    SerialLink link;
    const QString device = QStringLiteral("/nonexistent/ttyQEL");
    const OpenResult opened = link.openDevice(device);
    QVERIFY(!opened.ok);
    QVERIFY(!link.isOpen());
    QCOMPARE(opened.device, device);
    QCOMPARE(opened.reason, QStringLiteral("No such file or directory"));
    QCOMPARE(opened.describe(), QStringLiteral("/nonexistent/ttyQEL: No such file or directory"));
}

void TestSerialLink::danglingComLinkFailsInsteadOfFallingThrough() {
    // The operator's COM2 names an adapter that is unplugged: say so, never open /dev/ttyUSB1 instead.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = QStringLiteral("/nonexistent/serial/by-id/usb-QEL-if00");
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("COM2"))));

    SerialLink link;
    const OpenResult opened = link.open(2, dir.path());
    QVERIFY(!opened.ok);
    QCOMPARE(opened.device, target);
    QCOMPARE(opened.link, QDir(dir.path()).absoluteFilePath(QStringLiteral("COM2")));
    QCOMPARE(opened.reason, QStringLiteral("No such file or directory"));
}

void TestSerialLink::comLinkLeadsToItsDevice() {
    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString slave = QString::fromStdString(pty.slavePath());
    QVERIFY(QFile::link(slave, dir.filePath(QStringLiteral("COM3"))));

    SerialLink link;
    Receiver receiver(link);
    const OpenResult opened = link.open(3, dir.path());
    QVERIFY2(opened.ok, qPrintable(opened.describe()));
    QCOMPARE(opened.device, slave);
    QCOMPARE(link.device(), slave);
    QCOMPARE(opened.link, QDir(dir.path()).absoluteFilePath(QStringLiteral("COM3")));
    QVERIFY(link.deviceDescription().contains(slave));
    QVERIFY(link.deviceDescription().contains(QStringLiteral("COM3")));

    QVERIFY(pty.write(asVector(QByteArray("\x01\xfe"))));
    QTRY_COMPARE(receiver.bytes, QByteArray("\x01\xfe"));
}

void TestSerialLink::portInUseFailsWithReason() {
    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString slave = QString::fromStdString(pty.slavePath());
    QVERIFY(QFile::link(slave, dir.filePath(QStringLiteral("COM1"))));

    SerialLink first;
    Receiver receiver(first);
    QVERIFY(first.openDevice(slave).ok);

    // Held by path, asked for by path and through the COM1 link: both refused, with the reason.
    SerialLink second;
    const OpenResult byPath = second.openDevice(slave);
    const OpenResult byLink = second.open(1, dir.path());
    for (const OpenResult& refused : {byPath, byLink}) {
        QVERIFY(!refused.ok);
        QCOMPARE(refused.device, slave);
        QVERIFY(!refused.reason.isEmpty());
    }
    QVERIFY(!second.isOpen());

    QVERIFY(first.isOpen());
    QVERIFY(pty.write(asVector(QByteArray("\x42"))));
    QTRY_COMPARE(receiver.bytes, QByteArray("\x42"));
}

void TestSerialLink::closeIsIdempotentAndPortReopens() {
    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    const QString slave = QString::fromStdString(pty.slavePath());
    SerialLink link;
    Receiver receiver(link);
    QSignalSpy lost(&link, &SerialLink::linkLost);
    link.close();

    QVERIFY(link.openDevice(slave).ok);
    link.close();
    link.close();
    QVERIFY(!link.isOpen());
    QCOMPARE(link.device(), slave);

    // Start, Stop, Start: the same device opens again and readings flow.
    QVERIFY(link.openDevice(slave).ok);
    QVERIFY(pty.write(asVector(QByteArray("\x10\x20"))));
    QTRY_COMPARE(receiver.bytes, QByteArray("\x10\x20"));
    link.close();
    QCOMPARE(lost.count(), 0);
}

void TestSerialLink::refusesWhatItCannotOpen_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("reasonHas");

    QTest::newRow("no port chosen") << 0 << "9600,n,8,1"
                                    << "Port 0";
    QTest::newRow("port out of range") << 256 << "9600,n,8,1"
                                       << "Port 256";
    QTest::newRow("settings not understood") << 1 << "9600,x,8,1"
                                             << "9600,x,8,1";
}

void TestSerialLink::refusesWhatItCannotOpen() {
    QFETCH(int, port);
    QFETCH(QString, settings);
    QFETCH(QString, reasonHas);

    PtyPair pty;
    QVERIFY2(pty.ok(), pty.error().c_str());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::link(QString::fromStdString(pty.slavePath()), dir.filePath(QStringLiteral("COM1"))));

    SerialLink link;
    const OpenResult opened = link.open(port, dir.path(), settings.toStdString());
    QVERIFY(!opened.ok);
    QVERIFY(!link.isOpen());
    QVERIFY2(opened.describe().contains(reasonHas), qPrintable(opened.describe()));
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_serial_link.moc"
