#include "app/Form1.h"

#include "about/AboutBox.h"
#include "acquisition/AcquisitionMode.h"
#include "app/OneRowList.h"
#include "app/OperatorMessages.h"
#include "app/RecordingRun.h"
#include "app/TelescopeLink.h"
#include "chart/Chart.h"
#include "chart/PrintFlow.h"
#include "common/ListNumber.h"
#include "settings/SettingsBinder.h"

#include <QAction>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

// The program's icons live in a resource compiled into this static library; the linker keeps it only when
// it is registered by name, from the global namespace.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace app {
namespace {

bool isFiveHz(const OneRowList* versions) {
    return acquisition::isFiveHzVersion(versions->selectedText().toStdString());
}

} // namespace

Form1::Form1(const common::Clock& clock, const common::TimeStampFormatter& formatter, EventLog& log,
             QWidget* parent)
    : QMainWindow(parent)
    , m_clock(clock)
    , m_formatter(formatter)
    , m_log(log) {
    registerResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("QEL TE Recorder"));
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
    m_telescope = new TelescopeLink(m_c, m_log, *m_messages, m_run->processor(), this);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    connect(m_c.Text1, &QPlainTextEdit::textChanged, this, &Form1::Text1_Change);
    connect(m_c.Command(1), &QPushButton::clicked, m_run, &RecordingRun::Command1_Click);
    connect(m_c.Command(2), &QPushButton::clicked, m_run, &RecordingRun::Command2_Click);
    connect(m_c.Command(3), &QPushButton::clicked, this, &Form1::Command3_Click);
    connectOptions();

    // The binder comes last: a load sets values whose reactions must already be connected.
    settings::SettingsControls sc;
    for (std::size_t i = 0; i < sc.lists.size(); ++i)
        sc.lists[i] = settings::listControl(m_c.list[i]);
    for (std::size_t i = 0; i < sc.checks.size(); ++i)
        sc.checks[i] = m_c.check[i];
    sc.text3 = m_c.Text3;
    sc.label13 = m_c.Label(13);
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
    // "About" is a top-level item that acts on a click.
    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("About"));
    connect(about, &QAction::triggered, this, [this] { about::AboutBox::showFor(this); });
}

// The recording and display options react as soon as their value changes, by the operator or by a load.
// Each change also turns the settings indicator red (the settings binder listens to the same signals).
void Form1::connectOptions() {
    connect(m_c.Check(3), &QCheckBox::stateChanged, this, &Form1::Check3_Click);
    connect(m_c.List(2), &OneRowList::changed, this, &Form1::List2_Click);
    connect(m_c.List(3), &OneRowList::changed, this, &Form1::List3_Click);
    connect(m_c.Check(4), &QCheckBox::stateChanged, m_run, &RecordingRun::recordOptionChanged);
}

void Form1::Check3_Click() {
    m_c.Check(1)->setCheckState(Qt::Unchecked);
    m_run->processor().resetStatistics();
    m_c.Check(4)->setText(m_c.Check(3)->checkState() == Qt::Checked
                              ? QStringLiteral("High Speed Record to File")
                              : QStringLiteral("Record to File"));
}

void Form1::List2_Click() {
    // Any text that is not one of the five sizes keeps the current size; the trace is cleared either way.
    m_run->processor().chooseDisplaySize(common::numberAtStart(m_c.List(2)->selectedText().toStdString()));
}

void Form1::List3_Click() {
    // Only whether the operator can change Check3; its value stays. Check5 is enabled only at start-up.
    m_c.Check(3)->setEnabled(isFiveHz(m_c.List(3)));
}

void Form1::Command3_Click() {
    chart::printChartOnRequest(*m_c.Chart1, this);
}

void Form1::LoadSettings_Click() {
    const settings::LoadResult result = m_settings->LoadSettings(settings::WhenMissing::Fail);
    if (result.outcome == settings::LoadResult::Outcome::Failed)
        QMessageBox::warning(this, QStringLiteral("QEL TE Recorder"), result.message);
}

void Form1::SaveSettings_Click() {
    const settings::SaveResult result = m_settings->SaveSettings();
    if (!result.saved)
        QMessageBox::warning(this, QStringLiteral("QEL TE Recorder"), result.message);
}

void Form1::startUp() {
    m_log.write(logmsg::kStartup);

    // A first start without a settings file takes the factory settings and is not a load; a file that
    // cannot be loaded changes nothing and is reported once the window is up.
    const settings::LoadResult loaded = m_settings->LoadSettings(settings::WhenMissing::ApplyFactorySettings);
    if (loaded.outcome == settings::LoadResult::Outcome::Loaded)
        m_log.write(logmsg::kLoadSettingsComplete);
    else if (loaded.outcome == settings::LoadResult::Outcome::Failed)
        m_startUpProblems << loaded.message;

    if (isFiveHz(m_c.List(3))) {
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
    m_c.Label(17)->setText(QString::fromStdString(m_formatter.dateTime(m_clock.now())) +
                           QStringLiteral(" LCT"));
}

void Form1::Text1_Change() {
    // Keep the newest line in view, whoever wrote to the panel.
    QTextCursor cursor = m_c.Text1->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_c.Text1->setTextCursor(cursor);
}

} // namespace app
