// One std::thread per piece of work; its outcome is handed to the UI thread with a queued call, and dropped
// when newer work replaced it in the meantime.
#include "analysis/BackgroundAnalysis.h"

#include <ctime>

namespace analysis {
namespace {

double threadCpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace

BackgroundAnalysis::BackgroundAnalysis(QObject* parent)
    : QObject(parent) {}

BackgroundAnalysis::~BackgroundAnalysis() {
    stop();
}

void BackgroundAnalysis::stop() {
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    ++m_generation; // a result already queued is dropped
    m_pending.reset();
    m_cancel = false;
}

void BackgroundAnalysis::run(std::function<Outcome()> work) {
    m_share = 0.0;
    const int generation = ++m_generation;
    m_worker = std::thread([this, work = std::move(work), generation] {
        const double cpu = threadCpuMilliseconds();
        auto outcome = std::make_unique<Outcome>(work());
        outcome->cpuMilliseconds = threadCpuMilliseconds() - cpu;
        m_pending = std::move(outcome);
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation != m_generation)
                    return;
                if (m_worker.joinable())
                    m_worker.join();
                const std::unique_ptr<Outcome> done = std::move(m_pending);
                if (done)
                    emit finished(*done);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundAnalysis::analyzeFile(const std::string& path, const AnalysisOptions& options) {
    stop();
    m_followed.clear();
    m_follower.reset();
    run([this, path, options] {
        Outcome o;
        o.result = analysis::analyzeFile(path, options, ReadOptions{}, [this](double s) {
            m_share = s;
            return !m_cancel.load();
        });
        return o;
    });
}

void BackgroundAnalysis::follow(const std::string& path) {
    stop();
    m_followed = path;
    m_follower = std::make_unique<RecordFollower>(path);
}

void BackgroundAnalysis::stopFollowing() {
    if (m_followed.empty())
        return;
    stop();
    m_followed.clear();
    m_follower.reset();
}

bool BackgroundAnalysis::look(const AnalysisOptions& options, bool endOfFile) {
    if (!m_follower || isBusy())
        return false;
    RecordFollower* follower = m_follower.get();
    run([follower, options, endOfFile] {
        Outcome o;
        o.look = true;
        o.read = follower->look(endOfFile);
        if (!o.read.error.empty()) {
            o.result.error = o.read.error;
            return o;
        }
        ReadResult read = follower->recording();
        if (!read.error.empty()) {
            o.result.error = read.error;
            return o;
        }
        o.result.analysis = analyzeRecording(read.recording, options);
        o.result.analysis.fileName = follower->path();
        return o;
    });
    return true;
}

} // namespace analysis
