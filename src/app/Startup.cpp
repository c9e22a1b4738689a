#include "app/Startup.h"

#include "app/EventLog.h"
#include "app/Form1.h"
#include "common/ProgramInfo.h"
#include "widgets/Utf8Text.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>

#include <clocale>

namespace app {

void installFonts() {
    const QString wine = QStringLiteral("/usr/share/wine/fonts/");
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = wine + QLatin1String(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
}

QString eventLogFailureMessage(const QString& fileName, const QString& dir, const QString& reason) {
    return QStringLiteral("The event log \"%1\" could not be created in %2: %3.\n\n"
                          "Start the recorder from a directory you can write to.")
        .arg(fileName, QDir::toNativeSeparators(dir), reason);
}

int runRecorder(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const QString title = widgets::fromUtf8(common::programTitle);
    QApplication::setApplicationName(title);
    QApplication::setApplicationVersion(widgets::fromUtf8(common::programVersion));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Qt takes the whole locale from the environment; only the month names should follow it.
    std::setlocale(LC_NUMERIC, "C");
    installFonts();

    const common::SystemClock clock;
    const common::TimeStampFormatter formatter(common::monthNamesFromLocale());
    auto opened = EventLog::open(kEventLogName, clock, formatter);
    if (!opened.log) {
        QMessageBox::critical(nullptr, title,
                              eventLogFailureMessage(QString::fromLatin1(kEventLogName), QDir::currentPath(),
                                                     QString::fromLocal8Bit(opened.error.c_str())));
        return 1;
    }

    Form1 window(clock, formatter, *opened.log);
    window.startUp();
    window.show();
    if (!window.startUpProblems().isEmpty()) {
        // Shown once the window is up, so the operator sees what the message is about.
        QTimer::singleShot(0, &window, [&window, title] {
            QMessageBox::warning(&window, title, window.startUpProblems().join(QStringLiteral("\n\n")));
        });
    }
    return QApplication::exec();
}

} // namespace app
