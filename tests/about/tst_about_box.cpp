// The About box: its texts and layout, one box at most, closing by Enter and Esc, and the "System Info..."
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
private slots:
    void init();
    void cleanup();
    void textsAndLayout();
    void textsFitTheirLabels();
    void oneBoxAtMostAndEnterOrEscClosesIt();
    void noToolOnThePathSaysUnavailable();
    void aToolOnThePathIsStarted();

private:
    template <typename T>
    T* child(AboutBox* box, const char* name) {
        auto* w = box->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    // Closes the next modal message box and keeps its title and text.
    void answerNextMessageBox();

    std::unique_ptr<QMainWindow> m_main;
    QTemporaryDir m_pathDir;
    QByteArray m_oldPath;
    QStringList m_messages;
};

void TestAboutBox::init() {
    m_main = std::make_unique<QMainWindow>();
    m_main->show();
    m_oldPath = qgetenv("PATH");
    m_messages.clear();
}

void TestAboutBox::cleanup() {
    qputenv("PATH", m_oldPath);
    m_main.reset();
}

void TestAboutBox::answerNextMessageBox() {
    QTimer::singleShot(50, this, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            m_messages << box->windowTitle() << box->text();
            QCOMPARE(box->buttons().size(), 1);
            box->button(QMessageBox::Ok)->click();
        }
    });
}

void TestAboutBox::textsAndLayout() {
    AboutBox* box = AboutBox::showFor(m_main.get());
    QCOMPARE(box->windowTitle(), QStringLiteral("About QEL TE Recorder"));
    QCOMPARE(child<QLabel>(box, "lblTitle")->text(), QStringLiteral("QEL TE Recorder"));
    QCOMPARE(child<QLabel>(box, "lblVersion")->text(), QStringLiteral("Version 1.0.6"));
    const QString description = child<QLabel>(box, "lblDescription")->text();
    for (const char* part :
         {"QEL TE Recorder", "QEL", "QCustomPlot 2.", "GNU GPL v3", "libQt6SerialPort.so.6", "GNU LGPL v3"})
        QVERIFY2(description.contains(QLatin1String(part)), part);
    QVERIFY(child<QLabel>(box, "lblDisclaimer")->text().startsWith(QLatin1String("Warning: ")));
    QCOMPARE(child<QPushButton>(box, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    QVERIFY(!box->isModal());

    QCOMPARE(box->size(), QSize(382, 237));
    const std::pair<const char*, QRect> places[] = {
        {"picIcon", {16, 16, 36, 36}},         {"lblTitle", {70, 16, 259, 32}},
        {"lblVersion", {70, 52, 259, 15}},     {"lblDescription", {70, 75, 259, 78}},
        {"lblDisclaimer", {17, 175, 258, 55}}, {"cmdOK", {283, 175, 84, 23}},
        {"cmdSysInfo", {284, 205, 83, 23}},
    };
    for (const auto& [name, rect] : places)
        QCOMPARE(child<QWidget>(box, name)->geometry(), rect);
    box->close();
}

void TestAboutBox::textsFitTheirLabels() {
    AboutBox* box = AboutBox::showFor(m_main.get());
    for (const char* name : {"lblDescription", "lblDisclaimer"}) {
        auto* label = child<QLabel>(box, name);
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(), name);
    }
    box->close();
}

void TestAboutBox::oneBoxAtMostAndEnterOrEscClosesIt() {
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QPointer<AboutBox> box = AboutBox::showFor(m_main.get());
        QCOMPARE(AboutBox::showFor(m_main.get()), box.data());
        QCOMPARE(m_main->findChildren<AboutBox*>().size(), 1);
        QTest::keyClick(box, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(box.isNull(), "the box is unloaded when closed");
    }
}

void TestAboutBox::noToolOnThePathSaysUnavailable() {
    qputenv("PATH", m_pathDir.path().toLocal8Bit());
    AboutBox* box = AboutBox::showFor(m_main.get());
    answerNextMessageBox();
    box->StartSysInfo();
    QCOMPARE(m_messages, QStringList({"QEL TE Recorder", "System Information Is Unavailable At This Time"}));
    box->close();
}

void TestAboutBox::aToolOnThePathIsStarted() {
    const QString tool = m_pathDir.filePath(QStringLiteral("kinfocenter"));
    QFile script(tool);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n: > \"$0.started\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", m_pathDir.path().toLocal8Bit());

    AboutBox* box = AboutBox::showFor(m_main.get());
    answerNextMessageBox();
    child<QPushButton>(box, "cmdSysInfo")->click();
    QTRY_VERIFY(QFile::exists(tool + ".started"));
    QCOMPARE(m_messages, QStringList());
    box->close();
}

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
