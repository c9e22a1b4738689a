// One hour of record lines at 960 readings/s (3.46 million lines) read and analyzed: wall time of the reading
// and of the analysis. Peak memory comes from the caller, e.g.
//   ./build/bench/bench_analysis --make /tmp/hour960.txt
//   /usr/bin/time -v ./build/bench/bench_analysis /tmp/hour960.txt
// (scripts/bench-analysis.sh does both). The file is made by the simulated unit and the recorder's formatter.
#include "SimulatedRecord.h"
#include "analysis/Analysis.h"
#include "analysis/Figures.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

int makeFile(const char* path) {
    qelsim::SimulatedRun run;
    run.rate = 960.0;
    run.seconds = 3600.0;
    run.burst = 0.016; // the window reads the port about once per screen refresh
    run.model.driftRate = 0.002;
    run.start = {2026, 12, 7, 23, 30, 0, 0};
    std::string text;
    text.reserve(200u << 20);
    const auto lines = qelsim::appendSimulatedRun(text, run);
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        std::fprintf(stderr, "bench_analysis: cannot write %s\n", path);
        return 1;
    }
    std::printf("wrote %s: %llu lines, %.1f MB\n", path, static_cast<unsigned long long>(lines),
                text.size() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--make") == 0)
        return makeFile(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_analysis --make FILE | bench_analysis FILE\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    analysis::ReadOptions readOptions;
    analysis::ReadResult read = analysis::readRecordFile(argv[1], readOptions);
    if (!read.error.empty()) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
        return 1;
    }
    const auto t1 = Clock::now();
    const analysis::Analysis a = analysis::analyzeRecording(read.recording);
    const auto t2 = Clock::now();
    const auto ms = [](auto d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    std::printf("readings %zu, read %.0f ms, analysis %.0f ms, total %.0f ms\n", read.recording.size(),
                ms(t1 - t0), ms(t2 - t1), ms(t2 - t0));
    std::fputs(analysis::figureText(analysis::figures(a, 5)).c_str(), stdout);
    return 0;
}
