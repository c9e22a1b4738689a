// The analysis window's layout and its worker thread; the numbers come from analysis_core, the plots from
// AnalysisPlots, the report from ReportWriter.
#include "analysis/AnalysisWindow.h"

#include "analysis/AnalysisPlots.h"
#include "analysis/Figures.h"
#include "analysis/ReportWriter.h"
#include "chart/SeriesPlot.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>

namespace analysis {

AnalysisWindow::AnalysisWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(QStringLiteral("Analyze Record File"));
    setAttribute(Qt::WA_DeleteOnClose, false);

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

    m_figures = new QTableWidget(0, 2, this);
    m_figures->setObjectName(QStringLiteral("figuresTable"));
    m_figures->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value")});
    m_figures->horizontalHeader()->setStretchLastSection(true);
    m_figures->verticalHeader()->setVisible(false);
    m_figures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_figures->setWordWrap(false);
    m_figures->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(plots);
    split->addWidget(m_figures);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({760, 440});

    m_saveReport = new QPushButton(QStringLiteral("Save Report..."), this);
    m_saveReport->setObjectName(QStringLiteral("saveReportButton"));
    m_exportCsv = new QPushButton(QStringLiteral("Export CSV..."), this);
    m_exportCsv->setObjectName(QStringLiteral("exportCsvButton"));
    m_saveReport->setEnabled(false);
    m_exportCsv->setEnabled(false);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("messageLabel"));
    m_message->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_message, 1);
    bottom->addWidget(m_saveReport);
    bottom->addWidget(m_exportCsv);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    resize(1200, 860);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &AnalysisWindow::showProgress);
    connect(m_open, &QPushButton::clicked, this, &AnalysisWindow::openFile);
    connect(m_analyze, &QPushButton::clicked, this, &AnalysisWindow::reanalyze);
    connect(m_period, &QLineEdit::returnPressed, this, &AnalysisWindow::reanalyze);
    connect(m_cancelButton, &QPushButton::clicked, this, &AnalysisWindow::cancel);
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
}

AnalysisWindow::~AnalysisWindow() {
    m_cancel = true;
    joinWorker();
}

void AnalysisWindow::joinWorker() {
    if (m_worker.joinable())
        m_worker.join();
}

void AnalysisWindow::openFile() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Analyze Record File"), QString(),
                                                      QStringLiteral("Record files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        analyze(path);
}

void AnalysisWindow::reanalyze() {
    if (!m_file->text().isEmpty())
        analyze(m_file->text());
}

void AnalysisWindow::analyze(const QString& path) {
    AnalysisOptions options;
    const std::string period = m_period->text().trimmed().toStdString();
    if (!period.empty()) {
        double seconds = 0.0;
        const auto r = std::from_chars(period.data(), period.data() + period.size(), seconds);
        if (r.ec != std::errc() || r.ptr != period.data() + period.size() || !(seconds > 0.0)) {
            showMessage(
                QStringLiteral("The worm period \"%1\" is not a number of seconds above 0. Type one such "
                               "as 478.7, or leave the field empty to find it from the data.")
                    .arg(m_period->text()),
                true);
            return;
        }
        options.period = seconds;
    }
    m_cancel = true;
    joinWorker();
    m_cancel = false;
    m_share = 0.0;
    m_file->setText(path);
    m_progress->setValue(0);
    m_cancelButton->setEnabled(true);
    m_analyze->setEnabled(false);
    showMessage(QStringLiteral("Reading %1 ...").arg(QFileInfo(path).fileName()), false);
    m_progressTimer->start();
    const std::string file = path.toStdString();
    m_pending.reset();
    const int generation = ++m_generation;
    m_worker = std::thread([this, file, options, generation] {
        auto result =
            std::make_unique<AnalysisResult>(analyzeFile(file, options, ReadOptions{}, [this](double s) {
                m_share = s;
                return !m_cancel.load();
            }));
        m_pending = std::move(result);
        // A result of an analysis replaced in the meantime is dropped.
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == m_generation)
                    finish();
            },
            Qt::QueuedConnection);
    });
}

void AnalysisWindow::cancel() {
    m_cancel = true;
}

void AnalysisWindow::showProgress() {
    m_progress->setValue(static_cast<int>(100.0 * m_share.load()));
}

void AnalysisWindow::finish() {
    joinWorker();
    m_progressTimer->stop();
    m_cancelButton->setEnabled(false);
    m_analyze->setEnabled(true);
    std::unique_ptr<AnalysisResult> result = std::move(m_pending);
    if (!result || !result->error.empty()) {
        m_progress->setValue(0);
        showMessage(result ? QString::fromStdString(result->error) : QString(),
                    !result || !result->cancelled);
        emit analysisFinished(false);
        return;
    }
    m_progress->setValue(100);
    m_analysis = std::make_unique<Analysis>(std::move(result->analysis));
    showAnalysis();
    emit analysisFinished(true);
}

void AnalysisWindow::showAnalysis() {
    const Analysis& a = *m_analysis;
    const std::vector<Figure> list = figures(a, 200);
    m_figures->setRowCount(static_cast<int>(list.size()));
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        const Figure& f = list[static_cast<std::size_t>(i)];
        auto* value = new QTableWidgetItem(QString::fromStdString(f.value));
        value->setToolTip(value->text()); // long values are cut at the column's edge
        m_figures->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(f.label)));
        m_figures->setItem(i, 1, value);
    }
    m_figures->resizeColumnToContents(0);
    plotSeries(*m_seriesPlot, a);
    plotSpectrum(*m_spectrumPlot, a);
    plotFolded(*m_foldedPlot, a);
    m_saveReport->setEnabled(true);
    m_exportCsv->setEnabled(a.hasPeriod);
    if (!a.hasPeriod)
        showMessage(
            QStringLiteral("No worm period found between 60 and 1200 s. Type the period in seconds and "
                           "press Analyze."),
            true);
    else if (!a.periodTrusted)
        showMessage(
            QStringLiteral("The worm period cannot be trusted: the file holds too few cycles (%1; at least 2 "
                           "are needed). Record longer, or type the period.")
                .arg(QString::fromStdString(fixed(a.cycles, 1))),
            true);
    else
        showMessage(QStringLiteral("%1 readings analyzed.").arg(a.readings), false);
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
    m_message->setStyleSheet(failure ? QStringLiteral("color: #c00000;") : QString());
    m_message->setText(text);
}

} // namespace analysis
