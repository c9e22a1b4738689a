#include "app/Form1.h"

#include "acquisition/AcquisitionMode.h"
#include "app/OneRowList.h"
#include "chart/Chart.h"

#include <QAction>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

namespace app {

Form1::Form1(const Clock& clock, const TimeStampFormatter& formatter, EventLog& log, QWidget* parent)
    : QMainWindow(parent)
    , m_clock(clock)
    , m_formatter(formatter)
    , m_log(log) {
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

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    connect(m_c.Text1, &QPlainTextEdit::textChanged, this, &Form1::Text1_Change);
}

Form1::~Form1() = default;

void Form1::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    m_loadSettings = file->addAction(QStringLiteral("Load Settings"));
    m_loadSettings->setObjectName(QStringLiteral("LoadSettings"));
    m_saveSettings = file->addAction(QStringLiteral("Save Settings"));
    m_saveSettings->setObjectName(QStringLiteral("SaveSettings"));
    // "About" is a top-level item that acts on a click.
    m_about = menuBar()->addAction(QStringLiteral("&About"));
    m_about->setObjectName(QStringLiteral("About"));
}

void Form1::startUp() {
    m_log.write(logmsg::kStartup);

    // Settings load runs here; until it lands the window keeps its initial states.
    m_log.write(logmsg::kLoadSettingsComplete);

    if (acquisition::isFiveHzVersion(m_c.List(3)->selectedText().toStdString())) {
        m_c.Check(3)->setEnabled(true);
        m_c.Check(5)->setEnabled(true);
    }
    m_c.List(2)->setEnabled(true);

    DoTheChart();
    m_log.write(logmsg::kChartInitialized);

    scaleHigh = 16.0;
    scaleLow = -16.0;
    Timer2_Timer();
    m_timer2->start();
}

void Form1::DoTheChart() {
    // The chart layout is built here once the chart control lands.
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
