// The analysis window: a record file's drift-removed series, spectrum and folded curve, the figures table,
// the worm-period field, Save Report and Export CSV. Non-modal beside the recording window; files are read
// and analyzed off the user-interface thread with a progress bar and Cancel. While the recorder writes a
// record file the window offers to follow it: every 10 s it reads the lines added and shows the figures so
// far. Night colours (red on black, as the live chart) unless the operator chooses day colours. Opened from
// File > "Analyze Record File...".
#pragma once

#include "analysis/AnalysisColours.h"
#include "analysis/BackgroundAnalysis.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace chart {
class SeriesPlot;
}

namespace analysis {

class FigureTable;

class AnalysisWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLookIntervalMs = 10000; // between looks at a followed record file

    explicit AnalysisWindow(QWidget* parent = nullptr);
    ~AnalysisWindow() override; // cancels and waits for a running analysis

    // Starts reading and analyzing `path` with the period field's value (empty: found from the data).
    // Running work is cancelled first, following stops. The outcome arrives as analysisFinished().
    void analyze(const QString& path);
    bool isBusy() const { return m_background->isBusy(); }
    const Analysis* current() const { return m_analysis.get(); } // null until an analysis succeeded

    // The record file the recorder writes (`recording`: a run is recording to it now): the window offers to
    // follow it. Called by the recording window whenever it shows this one.
    void setRecordFileBeingWritten(const QString& path, bool recording);
    // Follows `path`: a look now and every kLookIntervalMs after, each outcome as analysisFinished().
    void follow(const QString& path);
    void stopFollowing();
    bool isFollowing() const { return !m_background->followed().empty(); }
    // A look at the followed file now, unless one runs (false then). `endOfFile`: the writer is done.
    bool lookNow(bool endOfFile = false);

    void setColourScheme(ColourScheme scheme);
    ColourScheme colourScheme() const { return m_scheme; }

    // Write the current analysis; the message of the outcome is shown in the window and returned
    // (empty on success).
    QString saveReport(const QString& path);
    QString exportCsv(const QString& path);

signals:
    void analysisFinished(bool ok);

private:
    void openFile();
    void reanalyze();
    bool readOptions(AnalysisOptions& options);
    void showProgress();
    void finish(const BackgroundAnalysis::Outcome& outcome);
    void showAnalysis();
    void showFollowBar();
    void showMessage(const QString& text, bool failure);

    QLineEdit* m_file;
    QLineEdit* m_period;
    QPushButton* m_open;
    QPushButton* m_analyze;
    QPushButton* m_cancelButton;
    QPushButton* m_saveReport;
    QPushButton* m_exportCsv;
    QCheckBox* m_night;
    QProgressBar* m_progress;
    QLabel* m_message;
    bool m_messageIsFailure = false;
    QWidget* m_followBar;
    QLabel* m_followLabel;
    QPushButton* m_followButton;
    QPushButton* m_stopFollowingButton;
    FigureTable* m_figures;
    chart::SeriesPlot* m_seriesPlot;
    chart::SeriesPlot* m_spectrumPlot;
    chart::SeriesPlot* m_foldedPlot;
    QTimer* m_progressTimer;
    QTimer* m_lookTimer;

    BackgroundAnalysis* m_background;
    std::unique_ptr<Analysis> m_analysis;
    ColourScheme m_scheme = ColourScheme::Night;
    QPalette m_dayPalette;
    QString m_beingWritten; // the record file the recorder writes, when a run records to it
    QString m_liveStatus;   // what the last look found
    int m_quietLooks = 0;   // looks in a row that found nothing new
};

} // namespace analysis
