#!/usr/bin/env bash
# The record-file analysis under load: makes one hour of record lines at 960 readings/s (3.46 million lines,
# the simulated unit through the recorder's own formatter), then reads and analyzes it, printing the time
# and the peak memory. Goal: under 3 s and 200 MB.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target bench_analysis
file=${TMPDIR:-/tmp}/qel-analysis-hour-960.txt
[ -f "$file" ] || ./build/bench/bench_analysis --make "$file"
export LC_ALL=C
/usr/bin/time -f "peak memory: %M kB, wall %e s" ./build/bench/bench_analysis "$file"
