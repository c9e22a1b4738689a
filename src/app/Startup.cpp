#include "app/Startup.h"

#include "app/EventLog.h"
#include "app/Form1.h"
#include "app/GuideLoop.h"
#include "app/TelescopeLink.h"
#include "common/ProgramInfo.h"
#include "widgets/Utf8Text.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>

#include <clocale>
#include <cstdio>

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

namespace {

void nameTheProgram() {
    QCoreApplication::setApplicationName(widgets::fromUtf8(common::programTitle));
    QCoreApplication::setApplicationVersion(widgets::fromUtf8(common::programVersion));
}

// --help and --version are answered from a QCoreApplication: a QApplication needs a display, and Qt's own
// warnings (XDG_RUNTIME_DIR, the platform) would go out with the answer. Returns whether one was answered.
bool answeredHelpOrVersion(int argc, char** argv, QCommandLineParser& parser) {
    const QCoreApplication core(argc, argv);
    nameTheProgram();
    // Unknown options may be Qt's own (-platform, -style), which only the QApplication takes off: the full
    // parse after it reports what is left.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version"))) {
        std::fputs(qPrintable(QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                            QCoreApplication::applicationVersion())),
                   stdout);
        return true;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return true;
    }
    return false;
}

} // namespace

int runRecorder(int argc, char** argv) {
    // For scripts and the demo: the telescope preselected in the chooser, and where Discover looks.
    QCommandLineParser parser;
    parser.setApplicationDescription(widgets::fromUtf8(common::programDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption telescopeOption(
        QStringLiteral("telescope"),
        QStringLiteral("Preselect this telescope in the chooser, e.g. %1.")
            .arg(QStringLiteral("alpaca://127.0.0.1:11111/telescope/0")),
        QStringLiteral("ID"));
    const QCommandLineOption targetsOption(
        QStringLiteral("discovery-targets"),
        QStringLiteral("Send Alpaca discovery probes to these addresses (comma-separated) instead of the "
                       "broadcast address of every network."),
        QStringLiteral("addresses"));
    const QCommandLineOption discoveryPortOption(QStringLiteral("discovery-port"),
                                                 QStringLiteral("Alpaca discovery port (default 32227)."),
                                                 QStringLiteral("port"));
    const QCommandLineOption guideLogOption(
        QStringLiteral("guide-log"),
        QStringLiteral("Write one line per guiding tick to this file (appended to): the reading used, the "
                       "controller's output and the RA pulse with what became of it, for qel-te-analyze "
                       "--guide-log."),
        QStringLiteral("file"));
    parser.addOptions({telescopeOption, targetsOption, discoveryPortOption, guideLogOption});
    if (answeredHelpOrVersion(argc, argv, parser))
        return 0;

    QApplication qapp(argc, argv);
    nameTheProgram();
    const QString title = QApplication::applicationName();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Qt takes the whole locale from the environment; only the month names should follow it.
    std::setlocale(LC_NUMERIC, "C");
    installFonts();

    parser.process(qapp);

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
    if (parser.isSet(targetsOption) || parser.isSet(discoveryPortOption)) {
        telescope::alpaca::DiscoveryTargets targets;
        if (parser.isSet(targetsOption)) {
            for (const QString& a : parser.value(targetsOption).split(QLatin1Char(','), Qt::SkipEmptyParts))
                targets.addresses << QHostAddress(a.trimmed());
        } else {
            targets.addresses = telescope::alpaca::broadcastTargets();
        }
        if (parser.isSet(discoveryPortOption))
            targets.port = static_cast<quint16>(parser.value(discoveryPortOption).toUInt());
        window.telescopeLink().setDiscoveryTargets(targets);
    }
    window.telescopeLink().setID(parser.value(telescopeOption).toStdString());
    QStringList problems;
    if (parser.isSet(guideLogOption))
        if (const QString why = window.guideLoop().openGuideLog(parser.value(guideLogOption)); !why.isEmpty())
            problems << why;
    // A telescope connected by the settings shows the window early, while start-up waits for it.
    window.startUp();
    window.show();
    problems << window.startUpProblems();
    if (!problems.isEmpty()) {
        // Shown once the window is up, so the operator sees what the message is about.
        QTimer::singleShot(0, &window, [&window, title, problems] {
            QMessageBox::warning(&window, title, problems.join(QStringLiteral("\n\n")));
        });
    }
    const int status = QApplication::exec();
    // The mount is told to let go before the network goes with the window (at most a second).
    window.telescopeLink().shutDown(1000);
    return status;
}

} // namespace app
