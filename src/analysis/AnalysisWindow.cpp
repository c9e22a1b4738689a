// The analysis window's layout and what it shows; the numbers come from analysis_core through
// BackgroundAnalysis, the plots from AnalysisPlots, the report from ReportWriter.
#include "analysis/AnalysisWindow.h"

#include "analysis/AnalysisPlots.h"
#include "analysis/FigureTable.h"
#include "analysis/Figures.h"
#include "analysis/ReportWriter.h"
#include "chart/SeriesPlot.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>

namespace analysis {
namespace {

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

AnalysisWindow::AnalysisWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_background(new BackgroundAnalysis(this)) {
    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(QStringLiteral("Analyze Record File"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_dayPalette = palette();

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("recordFile"));
    m_file->setReadOnly(true);
    m_file->setPlaceholderText(QStringLiteral("no record file chosen"));
    m_open = new QPushButton(QStringLiteral("Open..."), this);
    m_open->setObjectName(QStringLiteral("openButton"));
    m_period = new QLineEdit(this);
    m_period->setObjectName(QStringLiteral("periodField"));
    m_period->setPlaceholderText(QStringLiteral("found from the data"));
    m_period->setToolTip(QStringLiteral("The worm period in seconds, e.g. 478.7; leave empty to find it"));
    m_period->setMaximumWidth(150);
    m_analyze = new QPushButton(QStringLiteral("Analyze"), this);
    m_analyze->setObjectName(QStringLiteral("analyzeButton"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setEnabled(false);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Record file:"), this), 0, 0);
    top->addWidget(m_file, 0, 1, 1, 3);
    top->addWidget(m_open, 0, 4);
    top->addWidget(new QLabel(QStringLiteral("Worm period (s):"), this), 1, 0);
    top->addWidget(m_period, 1, 1);
    top->addWidget(m_analyze, 1, 2);
    top->addWidget(m_progress, 1, 3);
    top->addWidget(m_cancelButton, 1, 4);
    top->setColumnStretch(3, 1);

    // The offer to follow the record file being written, and while following what the last look found.
    m_followBar = new QWidget(this);
    m_followBar->setObjectName(QStringLiteral("followBar"));
    m_followLabel = new QLabel(m_followBar);
    m_followLabel->setObjectName(QStringLiteral("liveStatus"));
    m_followLabel->setWordWrap(true);
    m_followButton = new QPushButton(QStringLiteral("Follow It"), m_followBar);
    m_followButton->setObjectName(QStringLiteral("followButton"));
    m_stopFollowingButton = new QPushButton(QStringLiteral("Stop Following"), m_followBar);
    m_stopFollowingButton->setObjectName(QStringLiteral("stopFollowingButton"));
    auto* followRow = new QHBoxLayout(m_followBar);
    followRow->setContentsMargins(0, 0, 0, 0);
    followRow->addWidget(m_followLabel, 1);
    followRow->addWidget(m_followButton);
    followRow->addWidget(m_stopFollowingButton);
    m_followBar->setVisible(false);

    m_seriesPlot = new chart::SeriesPlot(this);
    m_spectrumPlot = new chart::SeriesPlot(this);
    m_foldedPlot = new chart::SeriesPlot(this);
    m_seriesPlot->setObjectName(QStringLiteral("seriesPlot"));
    m_spectrumPlot->setObjectName(QStringLiteral("spectrumPlot"));
    m_foldedPlot->setObjectName(QStringLiteral("foldedPlot"));
    auto* plots = new QSplitter(Qt::Vertical, this);
    plots->addWidget(m_seriesPlot);
    plots->addWidget(m_spectrumPlot);
    plots->addWidget(m_foldedPlot);

    m_figures = new FigureTable(this);
    m_figures->setObjectName(QStringLiteral("figuresTable"));

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(plots);
    split->addWidget(m_figures);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({720, 480});

    m_saveReport = new QPushButton(QStringLiteral("Save Report..."), this);
    m_saveReport->setObjectName(QStringLiteral("saveReportButton"));
    m_exportCsv = new QPushButton(QStringLiteral("Export CSV..."), this);
    m_exportCsv->setObjectName(QStringLiteral("exportCsvButton"));
    m_saveReport->setEnabled(false);
    m_exportCsv->setEnabled(false);
    m_night = new QCheckBox(QStringLiteral("Night Colours"), this);
    m_night->setObjectName(QStringLiteral("nightColours"));
    m_night->setToolTip(
        QStringLiteral("Red on black as the recording window's chart; clear it for day colours. "
                       "Reports are always on white."));
    m_night->setChecked(true);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("messageLabel"));
    m_message->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_message, 1);
    bottom->addWidget(m_night);
    bottom->addWidget(m_saveReport);
    bottom->addWidget(m_exportCsv);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_followBar);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    resize(1200, 860);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    m_lookTimer = new QTimer(this);
    m_lookTimer->setInterval(kLookIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &AnalysisWindow::showProgress);
    connect(m_lookTimer, &QTimer::timeout, this, [this] { lookNow(); });
    connect(m_background, &BackgroundAnalysis::finished, this, &AnalysisWindow::finish);
    connect(m_open, &QPushButton::clicked, this, &AnalysisWindow::openFile);
    connect(m_analyze, &QPushButton::clicked, this, &AnalysisWindow::reanalyze);
    connect(m_period, &QLineEdit::returnPressed, this, &AnalysisWindow::reanalyze);
    connect(m_cancelButton, &QPushButton::clicked, m_background, &BackgroundAnalysis::cancel);
    connect(m_followButton, &QPushButton::clicked, this, [this] { follow(m_beingWritten); });
    connect(m_stopFollowingButton, &QPushButton::clicked, this, &AnalysisWindow::stopFollowing);
    connect(m_night, &QCheckBox::toggled, this,
            [this](bool night) { setColourScheme(night ? ColourScheme::Night : ColourScheme::Day); });
    connect(m_saveReport, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Report"), QString(),
                                                          QStringLiteral("PDF (*.pdf);;PNG image (*.png)"));
        if (!path.isEmpty())
            saveReport(path);
    });
    connect(m_exportCsv, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"), QString(),
                                                          QStringLiteral("CSV (*.csv)"));
        if (!path.isEmpty())
            exportCsv(path);
    });
    setColourScheme(ColourScheme::Night);
}

AnalysisWindow::~AnalysisWindow() = default; // m_background, a child, waits for its thread

void AnalysisWindow::openFile() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Analyze Record File"), QString(),
                                                      QStringLiteral("Record files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        analyze(path);
}

void AnalysisWindow::reanalyze() {
    if (isFollowing())
        lookNow();
    else if (!m_file->text().isEmpty())
        analyze(m_file->text());
}

bool AnalysisWindow::readOptions(AnalysisOptions& options) {
    const std::string period = m_period->text().trimmed().toStdString();
    if (period.empty())
        return true;
    double seconds = 0.0;
    const auto r = std::from_chars(period.data(), period.data() + period.size(), seconds);
    if (r.ec != std::errc() || r.ptr != period.data() + period.size() || !(seconds > 0.0)) {
        showMessage(QStringLiteral("The worm period \"%1\" is not a number of seconds above 0. Type one such "
                                   "as 478.7, or leave the field empty to find it from the data.")
                        .arg(m_period->text()),
                    true);
        return false;
    }
    options.period = seconds;
    return true;
}

void AnalysisWindow::analyze(const QString& path) {
    AnalysisOptions options;
    if (!readOptions(options))
        return;
    m_lookTimer->stop();
    m_background->analyzeFile(path.toStdString(), options);
    m_file->setText(path);
    m_progress->setValue(0);
    m_cancelButton->setEnabled(true);
    m_analyze->setEnabled(false);
    showFollowBar();
    showMessage(QStringLiteral("Reading %1 ...").arg(fileName(path)), false);
    m_progressTimer->start();
}

void AnalysisWindow::setRecordFileBeingWritten(const QString& path, bool recording) {
    m_beingWritten = recording && !path.isEmpty() ? QFileInfo(path).absoluteFilePath() : QString();
    showFollowBar();
}

void AnalysisWindow::follow(const QString& path) {
    if (path.isEmpty())
        return;
    m_progressTimer->stop();
    m_background->follow(QFileInfo(path).absoluteFilePath().toStdString());
    m_file->setText(QFileInfo(path).absoluteFilePath());
    m_progress->setValue(0);
    m_cancelButton->setEnabled(false);
    m_analyze->setEnabled(true);
    m_quietLooks = 0;
    m_liveStatus = QStringLiteral("reading what it holds so far ...");
    showFollowBar();
    lookNow();
    m_lookTimer->start();
}

void AnalysisWindow::stopFollowing() {
    m_lookTimer->stop();
    m_background->stopFollowing();
    showFollowBar();
}

bool AnalysisWindow::lookNow(bool endOfFile) {
    AnalysisOptions options;
    return readOptions(options) && m_background->look(options, endOfFile);
}

void AnalysisWindow::showFollowBar() {
    const QString followed = QString::fromStdString(m_background->followed());
    if (!followed.isEmpty())
        m_followLabel->setText(QStringLiteral("Following %1, a look every %2 s: %3")
                                   .arg(fileName(followed))
                                   .arg(kLookIntervalMs / 1000)
                                   .arg(m_liveStatus));
    else if (!m_beingWritten.isEmpty())
        m_followLabel->setText(
            QStringLiteral("The recorder is writing %1. Follow it to see the figures grow as "
                           "the worm turns.")
                .arg(fileName(m_beingWritten)));
    m_followButton->setVisible(followed.isEmpty() && !m_beingWritten.isEmpty());
    m_stopFollowingButton->setVisible(!followed.isEmpty());
    m_followBar->setVisible(!followed.isEmpty() || !m_beingWritten.isEmpty());
}

void AnalysisWindow::showProgress() {
    m_progress->setValue(static_cast<int>(100.0 * m_background->share()));
}

void AnalysisWindow::finish(const BackgroundAnalysis::Outcome& outcome) {
    const AnalysisResult& result = outcome.result;
    if (!outcome.look) {
        m_progressTimer->stop();
        m_cancelButton->setEnabled(false);
        m_analyze->setEnabled(true);
        m_progress->setValue(result.error.empty() ? 100 : 0);
    }
    if (outcome.look) {
        m_quietLooks = outcome.read.newLines == 0 ? m_quietLooks + 1 : 0;
        const QString when = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
        if (!result.error.empty()) {
            m_liveStatus = QStringLiteral("%1 at %2; tried again every %3 s.")
                               .arg(QString::fromStdString(result.error), when)
                               .arg(kLookIntervalMs / 1000);
        } else {
            m_liveStatus =
                QStringLiteral("%1. Last look %2: %3 new lines%4.")
                    .arg(QString::fromStdString(followSummary(result.analysis)), when)
                    .arg(outcome.read.newLines)
                    .arg(outcome.read.restarted
                             ? QStringLiteral(" (the file had become shorter: read again from its start)")
                         : m_quietLooks >= 6
                             ? QStringLiteral("; nothing new for a minute: has the recording stopped?")
                             : QString());
        }
        showFollowBar();
    }
    if (!result.error.empty()) {
        // A look that finds no reading yet keeps the last figures and says so only in the follow bar.
        if (!outcome.look)
            showMessage(QString::fromStdString(result.error), !result.cancelled);
        emit analysisFinished(false);
        return;
    }
    m_analysis = std::make_unique<Analysis>(result.analysis);
    showAnalysis();
    emit analysisFinished(true);
}

void AnalysisWindow::showAnalysis() {
    const Analysis& a = *m_analysis;
    m_figures->setFigures(figures(a, 200));
    // Each plot redraws in a task of its own after this one (SeriesPlot queues its redraw).
    const PlotColours colours = plotColours(m_scheme);
    plotSeries(*m_seriesPlot, a, colours);
    plotSpectrum(*m_spectrumPlot, a, colours);
    plotFolded(*m_foldedPlot, a, colours);
    m_saveReport->setEnabled(true);
    m_exportCsv->setEnabled(a.hasPeriod);
    if (!a.hasPeriod)
        showMessage(
            QStringLiteral("No worm period found between 60 and 1200 s. Type the period in seconds and "
                           "press Analyze."),
            true);
    else if (!a.periodTrusted)
        showMessage(QStringLiteral("The worm period cannot be trusted: the file holds too few cycles (%1; at "
                                   "least 2 are needed). Record longer, or type the period.")
                        .arg(QString::fromStdString(fixed(a.cycles, 1))),
                    true);
    else
        showMessage(QStringLiteral("%1 readings analyzed.").arg(a.readings), false);
}

void AnalysisWindow::setColourScheme(ColourScheme scheme) {
    m_scheme = scheme;
    setPalette(windowPalette(scheme, m_dayPalette));
    m_night->setChecked(scheme == ColourScheme::Night);
    showMessage(m_message->text(), m_messageIsFailure);
    if (m_analysis) {
        const PlotColours colours = plotColours(scheme);
        plotSeries(*m_seriesPlot, *m_analysis, colours);
        plotSpectrum(*m_spectrumPlot, *m_analysis, colours);
        plotFolded(*m_foldedPlot, *m_analysis, colours);
    } else {
        const PlotColours c = plotColours(scheme);
        for (chart::SeriesPlot* plot : {m_seriesPlot, m_spectrumPlot, m_foldedPlot})
            plot->setColours(c.background, c.foreground, c.grid);
    }
}

QString AnalysisWindow::saveReport(const QString& path) {
    if (!m_analysis)
        return {};
    const QString error = writeReport(path, {m_analysis.get()});
    showMessage(error.isEmpty() ? QStringLiteral("Report saved to %1.").arg(path) : error, !error.isEmpty());
    return error;
}

QString AnalysisWindow::exportCsv(const QString& path) {
    if (!m_analysis || !m_analysis->hasPeriod)
        return {};
    QFile file(path);
    const std::string csv = foldedCsv(m_analysis->series.folded);
    QString error;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) ||
        !file.flush())
        error = QStringLiteral(
                    "The folded curve could not be written to \"%1\": %2. Choose another folder or name.")
                    .arg(path, file.errorString());
    showMessage(error.isEmpty() ? QStringLiteral("Folded curve saved to %1.").arg(path) : error,
                !error.isEmpty());
    return error;
}

void AnalysisWindow::showMessage(const QString& text, bool failure) {
    m_messageIsFailure = failure;
    QPalette p = palette();
    if (failure)
        p.setColor(QPalette::WindowText, failureColour(m_scheme));
    m_message->setPalette(p);
    QFont font = m_message->font();
    font.setBold(failure);
    m_message->setFont(font);
    m_message->setText(text);
}

} // namespace analysis
