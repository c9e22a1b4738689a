// Analyses off the user-interface thread for the analysis window: a whole record file (with progress and
// Cancel), or one look at a followed record file (the lines added since the last look, then the analysis of
// everything read so far). One at a time; the outcome arrives as finished() on the UI thread.
#pragma once

#include "analysis/Analysis.h"
#include "analysis/RecordFollower.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace analysis {

class BackgroundAnalysis : public QObject {
    Q_OBJECT

public:
    struct Outcome {
        AnalysisResult result;
        bool look = false;          // a look at the followed file (otherwise a whole file)
        RecordFollower::Look read;  // what that look read
        double cpuMilliseconds = 0; // the worker's CPU time for it
    };

    explicit BackgroundAnalysis(QObject* parent = nullptr);
    ~BackgroundAnalysis() override; // cancels and waits

    // Reads and analyzes `path`; a running analysis or look is cancelled first (and its outcome dropped).
    void analyzeFile(const std::string& path, const AnalysisOptions& options);

    // Follows `path` from its start (the first look reads what it holds already); stops any other work.
    void follow(const std::string& path);
    void stopFollowing(); // waits for a running look, whose outcome is dropped
    const std::string& followed() const { return m_followed; } // empty when not following

    // Starts a look at the followed file; false when not following or still busy.
    bool look(const AnalysisOptions& options, bool endOfFile = false);

    bool isBusy() const { return m_worker.joinable(); }
    double share() const { return m_share.load(); } // progress of a whole file, 0 .. 1
    void cancel() { m_cancel = true; }

signals:
    void finished(const analysis::BackgroundAnalysis::Outcome& outcome);

private:
    void run(std::function<Outcome()> work);
    void stop(); // cancels, waits, drops what was running

    std::thread m_worker;
    std::atomic<double> m_share{0.0};
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<Outcome> m_pending; // written by the worker, taken on the UI thread
    int m_generation = 0;               // counts work started; UI thread only
    std::string m_followed;
    std::unique_ptr<RecordFollower> m_follower; // used by the worker during a look, else by the UI thread
};

} // namespace analysis
