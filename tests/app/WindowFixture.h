// The main window in a fresh, empty working directory with its own event log, as a test starts it.
// Used by the window's Qt tests; the clock is set to 2013-Jan-05 21:14:07.42 and stays there.
#pragma once

#include "app/EventLog.h"
#include "app/Form1.h"
#include "app/TelescopeLink.h"
#include "support/FakeDriver.h"
#include "widgets/OneRowList.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct WindowFixture {
    QTemporaryDir dir;
    QString oldDir;
    common::ManualClock clock{{2013, 1, 5, 21, 14, 7, 42}};
    common::TimeStampFormatter formatter;
    std::unique_ptr<app::EventLog> log;
    std::unique_ptr<app::Form1> form;

    // Empties the directory, makes it the working directory, sets the clock back and opens the event log
    // there.
    bool enter() {
        clock.set({2013, 1, 5, 21, 14, 7, 42});
        oldDir = QDir::currentPath();
        for (const QString& entry :
             QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
            QFile::remove(dir.filePath(entry));
        QDir::setCurrent(dir.path());
        log = app::EventLog::open(app::kEventLogName, clock, formatter).log;
        return dir.isValid() && log;
    }
    // The telescope: a chooser that returns chooserAnswer at once (never a modal dialog) and FakeDrivers
    // configured by fakeSetup; lastFake is the driver of the latest attempt (null once the form is gone).
    std::string chooserAnswer = "alpaca://127.0.0.1:11111/telescope/0";
    std::vector<std::string> preselections;
    std::function<void(telescope::FakeDriver&)> fakeSetup = [](telescope::FakeDriver&) {
    };
    telescope::FakeDriver* lastFake = nullptr;

    // False: the program's own drivers, for the integration tests against real servers.
    bool fakeDrivers = true;

    void makeForm() {
        form = std::make_unique<app::Form1>(clock, formatter, *log);
        form->telescopeLink().setChooser([this](const std::string& preselect) {
            preselections.push_back(preselect);
            return chooserAnswer;
        });
        if (!fakeDrivers)
            return;
        form->telescopeLink().setDriverMaker([this](const std::string& id, std::string&) {
            auto fake = std::make_unique<telescope::FakeDriver>(id);
            fakeSetup(*fake);
            lastFake = fake.get();
            return std::unique_ptr<telescope::Driver>(std::move(fake));
        });
    }
    void leave() {
        form.reset();
        lastFake = nullptr;
        log.reset();
        QDir::setCurrent(oldDir);
    }

    // PID control on at 5 Hz with Kp 1.0 and the guide rate at List8's `rate` (1: "0.3", 3: "0.5").
    void guideAt5Hz(int rate) {
        find<widgets::OneRowList>("List4")->setSelectedIndex(2);
        find<widgets::OneRowList>("List5")->setSelectedIndex(9);
        find<widgets::OneRowList>("List8")->setSelectedIndex(rate);
        find<QCheckBox>("Check5")->setEnabled(true);
        find<QCheckBox>("Check5")->setChecked(true);
    }

    template <typename T>
    T* find(const char* name) const {
        auto* w = form->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    // The lines of a file in the directory, each without its LF (a CR stays).
    QList<QByteArray> lines(const QString& name) const {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> result = f.readAll().split('\n');
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }
    QList<QByteArray> logLines() const { return lines(QString::fromLatin1(app::kEventLogName)); }
};
