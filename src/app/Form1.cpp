#include "app/Form1.h"

#include "about/AboutBox.h"
#include "analysis/AnalysisWindow.h"
#include "app/GuideLoop.h"
#include "app/OperatorMessages.h"
#include "app/RecordingOptions.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "chart/Chart.h"
#include "chart/PrintFlow.h"
#include "common/ProgramInfo.h"
#include "settings/SettingsBinder.h"
#include "widgets/FittedText.h"
#include "widgets/OneRowList.h"
#include "widgets/TwoStateCheckBox.h"
#include "widgets/Utf8Text.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>

// The program's icons live in a resource compiled into this static library; the linker keeps it only when
// it is registered by name, from the global namespace.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace app {

Form1::Form1(const common::Clock& clock, const common::TimeStampFormatter& formatter, EventLog& log,
             QWidget* parent)
    : QMainWindow(parent)
    , m_clock(clock)
    , m_formatter(formatter)
    , m_log(log) {
    registerResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(widgets::fromUtf8(common::programTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/qel-te-recorder-32.png")));
    // Fixed single border: minimise, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    m_c = buildForm1Controls(client);
    buildMenu();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    m_messages = new OperatorMessages(this);
    m_run = new RecordingRun(m_c, m_clock, m_formatter, m_log, *m_messages, this);
    m_telescope = new TelescopeLink(m_c, m_log, *m_messages, this);
    m_guide = new GuideLoop(m_c, m_clock, m_formatter, m_log, *m_messages, this);
    // One way each: readings and the run's start and stop to guiding, the mount's position to the lines, the
    // connected driver to guiding.
    connect(m_run, &RecordingRun::readingDecoded, m_guide, &GuideLoop::readingDecoded);
    connect(m_run, &RecordingRun::runStarted, m_guide, &GuideLoop::runStarted);
    connect(m_run, &RecordingRun::runStopped, m_guide, &GuideLoop::runStopped);
    connect(m_run, &RecordingRun::readingsInterrupted, m_guide, &GuideLoop::readingsInterrupted);
    connect(m_run, &RecordingRun::readingsResumed, m_guide, &GuideLoop::readingsResumed);
    connect(m_telescope, &TelescopeLink::positionChanged, m_run, &RecordingRun::setPosition);
    connect(m_telescope, &TelescopeLink::guidingDriverChanged, m_guide, &GuideLoop::setDriver);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    connect(m_c.Text1, &QPlainTextEdit::textChanged, this, &Form1::Text1_Change);
    connect(m_c.Command(1), &QPushButton::clicked, m_run, &RecordingRun::Command1_Click);
    connect(m_c.Command(2), &QPushButton::clicked, m_run, &RecordingRun::Command2_Click);
    connect(m_c.Command(3), &QPushButton::clicked, this, &Form1::Command3_Click);

    // The binder comes last: a load sets values whose reactions (the run's options) must already be
    // connected.
    settings::SettingsControls sc;
    std::copy(m_c.list.begin(), m_c.list.end(), sc.lists.begin());
    std::copy(m_c.check.begin(), m_c.check.end(), sc.checks.begin());
    sc.text3 = m_c.Text3;
    sc.label13 = m_c.Label13;
    m_settings =
        std::make_unique<settings::SettingsBinder>(std::move(sc), settings::settingsFileInWorkingDirectory());
}

Form1::~Form1() = default;

void Form1::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    QAction* load = file->addAction(QStringLiteral("Load Settings"), this, &Form1::LoadSettings_Click);
    load->setObjectName(QStringLiteral("LoadSettings"));
    QAction* save = file->addAction(QStringLiteral("Save Settings"), this, &Form1::SaveSettings_Click);
    save->setObjectName(QStringLiteral("SaveSettings"));
    file->addSeparator();
    QAction* analyze = file->addAction(QStringLiteral("Analyze Record File..."), this, [this] {
        auto* window = findChild<analysis::AnalysisWindow*>(); // one, non-modal, kept with its analysis
        if (!window)
            window = new analysis::AnalysisWindow(this);
        window->setRecordFileBeingWritten(m_run->recordFileName(),
                                          m_run->isRecordFileOpen() && m_run->options().recordToFile());
        window->show();
        window->raise();
        window->activateWindow();
    });
    analyze->setObjectName(QStringLiteral("AnalyzeRecordFile"));
    // "About" is a top-level item that acts on a click.
    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("About"));
    connect(about, &QAction::triggered, this, [this] { about::AboutBox::showFor(this); });
}

void Form1::Command3_Click() {
    chart::printChartOnRequest(*m_c.Chart1, this);
}

void Form1::LoadSettings_Click() {
    const settings::LoadResult result = m_settings->LoadSettings(settings::LoadFrom::Menu);
    if (result.outcome == settings::LoadResult::Outcome::Failed)
        QMessageBox::warning(this, widgets::fromUtf8(common::programTitle), result.message);
}

void Form1::SaveSettings_Click() {
    const settings::SaveResult result = m_settings->SaveSettings();
    if (!result.saved)
        QMessageBox::warning(this, widgets::fromUtf8(common::programTitle), result.message);
}

void Form1::startUp() {
    m_log.write(logmsg::kStartup);

    // Without a settings file, or with one that cannot be loaded, the factory settings are applied and it is
    // not a load; a file that failed is reported once the window is up.
    const settings::LoadResult loaded = m_settings->LoadSettings(settings::LoadFrom::StartUp);
    if (loaded.outcome == settings::LoadResult::Outcome::Loaded)
        m_log.write(logmsg::kLoadSettingsComplete);
    else if (!loaded.message.isEmpty())
        m_startUpProblems << loaded.message;

    if (m_run->options().isFiveHzVersion()) {
        m_c.Check(3)->setEnabled(true);
        m_c.Check(5)->setEnabled(true);
    }
    m_c.List(2)->setEnabled(true);

    m_run->DoTheChart();
    m_log.write(logmsg::kChartInitialized);

    m_run->processor().startRun();
    Timer2_Timer();
    m_timer2->start();
    if (!m_log.lastError().empty())
        m_startUpProblems << QStringLiteral("The event log \"%1\" could not be written: %2.")
                                 .arg(QString::fromStdString(m_log.path()),
                                      QString::fromStdString(m_log.lastError()));
}

void Form1::Timer2_Timer() {
    widgets::setTextFitted(m_c.Label(17), QString::fromStdString(m_formatter.dateTime(m_clock.now())) +
                                              QStringLiteral(" LCT"));
}

void Form1::Text1_Change() {
    // Keep the newest line in view, whoever wrote to the panel. Text appended behind a cursor at the end
    // carries the cursor along, so usually only the bar moves: setting the cursor would lay out the line
    // again to find it.
    QTextCursor cursor = m_c.Text1->textCursor();
    if (!cursor.atEnd()) {
        cursor.movePosition(QTextCursor::End);
        m_c.Text1->setTextCursor(cursor);
    }
    QScrollBar* bar = m_c.Text1->verticalScrollBar();
    bar->setValue(bar->maximum());
}

} // namespace app
