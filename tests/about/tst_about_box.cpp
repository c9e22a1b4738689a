// The About box: its title and version, one box at most, closing by Enter and Esc, and the "System Info..."
// button with and without a tool on the PATH.
#include "about/AboutBox.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using about::AboutBox;

class TestAboutBox : public QObject {
    Q_OBJECT
    void pressSysInfo(bool installed) {
        QTemporaryDir pathDir;
        const QString tool = pathDir.filePath(QStringLiteral("kinfocenter"));
        if (installed) {
            QFile script(tool);
            QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\n: > \"$0.started\"\n") > 0);
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", pathDir.path().toLocal8Bit());
        QMainWindow main;
        AboutBox* box = AboutBox::showFor(&main);
        QStringList shown; // the title and text of a message box, closed with its only button
        QObject scope;
        QTimer::singleShot(50, &scope, [&shown] {
            if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << message->windowTitle() << message->text();
                QCOMPARE(message->buttons().size(), 1);
                message->button(QMessageBox::Ok)->click();
            }
        });
        box->findChild<QPushButton*>("cmdSysInfo")->click();
        qputenv("PATH", oldPath);
        if (installed)
            QTRY_VERIFY(QFile::exists(tool + ".started"));
        const QStringList told = {"QEL TE Recorder", "System Information Is Unavailable At This Time"};
        QCOMPARE(shown, installed ? QStringList() : told);
    }

private slots:
    void oneBoxAtMostBroughtToTheFrontAndEnterOrEscClosesIt() {
        QMainWindow main;
        main.show();
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            QPointer<AboutBox> box = AboutBox::showFor(&main);
            QCOMPARE(box->windowTitle(), QStringLiteral("About QEL TE Recorder"));
            QCOMPARE(box->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Version 1.0.6"));
            QVERIFY(!box->isModal());
            main.activateWindow();
            QCOMPARE(AboutBox::showFor(&main), box.data());
            QCOMPARE(main.findChildren<AboutBox*>().size(), 1);
            QTRY_COMPARE(QApplication::activeWindow(), box.data());
            QTest::keyClick(box, key);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(box.isNull(), "the box is unloaded when closed");
        }
    }

    // Without a tool on the PATH the operator is told so in a box with one button; with one, it is started.
    void sysInfoStartsATool() {
        for (const bool installed : {false, true})
            pressSysInfo(installed);
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
