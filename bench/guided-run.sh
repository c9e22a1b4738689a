#!/usr/bin/env bash
# The real window on one simulated sky (guided-sky-sim: the QEL unit on COM1 and an Alpaca mount on
# 127.0.0.1), two worm turns with guiding off and then on, RMS from each run's record file, and a screenshot
# of the window at the end of each run. About 33 minutes.
#   bench/guided-run.sh                     guiding on with the sweep's best setting (5 Hz, Kp 0.3, Ki 0.9)
#   bench/guided-run.sh --hz 1 --kp 0.5 --ki 0 --kd 0 --rate 0.5    another setting for the guided run
# Screenshots go to guiding-off.png and guiding-on.png in the current directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
(cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target bench_guided_run)
export LC_ALL=C XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/qel-runtime-$(id -u)} QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
seconds=${SECONDS_PER_RUN:-970}
"$root/build/bench/bench_guided_run" --seconds "$seconds" --screenshot guiding-off.png
"$root/build/bench/bench_guided_run" --seconds "$seconds" --screenshot guiding-on.png --pid "$@"
