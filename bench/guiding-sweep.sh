#!/usr/bin/env bash
# The guiding loop on the simulated sky, faster than real time (no window): RMS tracking error with guiding off
# and on for one setting, then the sweep of every Kp, Ki, Kd, control rate and guide rate the window's lists
# offer, with the best setting confirmed on fresh noise. A few minutes on one core.
#   bench/guiding-sweep.sh                  default setting, then the sweep
#   bench/guiding-sweep.sh --seconds 1440   three worm turns per run instead of two
# Exits non-zero when the best setting cuts the RMS by less than 75 %.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target bench_guiding_loop
./build/bench/bench_guiding_loop "$@"
./build/bench/bench_guiding_loop --sweep "$@"
