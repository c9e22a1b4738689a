// The analysis window: a record file's drift-removed series, spectrum and folded curve, the figures table,
// the worm-period field, Save Report and Export CSV. Non-modal beside the recording window; the file is read
// and analyzed off the user-interface thread with a progress bar and Cancel. Opened from File > "Analyze
// Record File...".
#pragma once

#include "analysis/Analysis.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace chart {
class SeriesPlot;
}

namespace analysis {

class AnalysisWindow : public QWidget {
    Q_OBJECT

public:
    explicit AnalysisWindow(QWidget* parent = nullptr);
    ~AnalysisWindow() override; // cancels and waits for a running analysis

    // Starts reading and analyzing `path` with the period field's value (empty: found from the data).
    // A running analysis is cancelled first. The outcome arrives as analysisFinished().
    void analyze(const QString& path);
    bool isBusy() const { return m_worker.joinable(); }
    const Analysis* current() const { return m_analysis.get(); } // null until an analysis succeeded

    // Write the current analysis; the message of the outcome is shown in the window and returned
    // (empty on success).
    QString saveReport(const QString& path);
    QString exportCsv(const QString& path);

signals:
    void analysisFinished(bool ok);

private:
    void openFile();
    void reanalyze();
    void cancel();
    void showProgress();
    void finish();
    void showAnalysis();
    void showMessage(const QString& text, bool failure);
    void joinWorker();

    QLineEdit* m_file;
    QLineEdit* m_period;
    QPushButton* m_open;
    QPushButton* m_analyze;
    QPushButton* m_cancelButton;
    QPushButton* m_saveReport;
    QPushButton* m_exportCsv;
    QProgressBar* m_progress;
    QLabel* m_message;
    QTableWidget* m_figures;
    chart::SeriesPlot* m_seriesPlot;
    chart::SeriesPlot* m_spectrumPlot;
    chart::SeriesPlot* m_foldedPlot;
    QTimer* m_progressTimer;

    std::thread m_worker;
    std::atomic<double> m_share{0.0};
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<AnalysisResult> m_pending; // written by the worker, taken by finish()
    int m_generation = 0;                      // counts analyses started; UI thread only
    std::unique_ptr<Analysis> m_analysis;
};

} // namespace analysis
