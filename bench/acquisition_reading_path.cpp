// Readings per second through the whole receive path: decode, route, record and live lines, sweep and
// statistics texts. Run: ./build/bench/bench_acquisition
#include "acquisition/ReadingProcessor.h"
#include "acquisition/RecordFile.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace {

using namespace acquisition;

std::array<std::uint8_t, 4096> stream() {
    std::array<std::uint8_t, 4096> bytes{};
    std::uint32_t x = 12345;
    for (auto& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
}

AcquisitionOptions makeOptions(bool fiveHz, bool highSpeed) {
    AcquisitionOptions o;
    o.versionText = fiveHz ? "2.5 (5 Hz nom.)" : "2.5";
    o.check1Checked = true;
    o.check4Checked = true;
    o.check3Enabled = fiveHz;
    o.check3Checked = highSpeed;
    return o;
}

void runPath(benchmark::State& state, const common::Clock& clock, const AcquisitionOptions& options,
             RecordFile* file) {
    const common::TimeStampFormatter stamps;
    ReadingProcessor processor(clock, stamps);
    processor.chooseDisplaySize(1920);
    processor.startRun();
    const auto bytes = stream();
    for (auto _ : state) {
        processor.processReceived(bytes, options, file, [](const ReadingOutputs& out) {
            benchmark::DoNotOptimize(out.liveLine.data());
            benchmark::DoNotOptimize(out.chart.statisticsLabel.data());
        });
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * bytes.size());
}

// Standard mode: record and live line for every reading, chart and 15-reading statistics one in eight.
void BM_ReadingPathStandard(benchmark::State& state) {
    const common::ManualClock clock({2013, 1, 5, 21, 14, 7, 42});
    runPath(state, clock, makeOptions(false, false), nullptr);
}
BENCHMARK(BM_ReadingPathStandard);

// 5 Hz mode with high-speed display: every reading recorded, shown and charted.
void BM_ReadingPathFiveHzHighSpeed(benchmark::State& state) {
    const common::ManualClock clock({2013, 1, 5, 21, 14, 7, 42});
    runPath(state, clock, makeOptions(true, true), nullptr);
}
BENCHMARK(BM_ReadingPathFiveHzHighSpeed);

// As above with the real clock (two local-time reads per reading).
void BM_ReadingPathFiveHzHighSpeedSystemClock(benchmark::State& state) {
    const common::SystemClock clock;
    runPath(state, clock, makeOptions(true, true), nullptr);
}
BENCHMARK(BM_ReadingPathFiveHzHighSpeedSystemClock);

// As above and each record line written to a file (/dev/null: the system call without the disk).
void BM_ReadingPathFiveHzHighSpeedRecordFile(benchmark::State& state) {
    const common::SystemClock clock;
    auto opened = RecordFile::open("/dev/null");
    if (!opened.file) {
        state.SkipWithError(opened.error.c_str());
        return;
    }
    runPath(state, clock, makeOptions(true, true), opened.file.get());
}
BENCHMARK(BM_ReadingPathFiveHzHighSpeedRecordFile);

} // namespace

BENCHMARK_MAIN();
