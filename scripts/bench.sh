#!/usr/bin/env bash
# The recording run under load: builds bench_recording_run and the simulated QEL unit, then records from it
# at 960 readings/s (all a 9600-baud line carries) and at the standard unit's 8 readings/s, 60 s each, and
# prints readings sent against record lines written, CPU share and event-loop stalls for both.
#   ./scripts/bench.sh          offscreen (no display needed)
#   ./scripts/bench.sh --xcb    under Xvfb with the X11 platform, where drawing costs what it does on a desktop
# Exits non-zero when a reading sent is missing from the record file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh bench
cmake --preset default >/dev/null
cmake --build --preset default --target bench_recording_run qel-unit-sim

export LC_ALL=C XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/qel-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
bench=(./build/bench/bench_recording_run)
if [ "${1:-}" = "--xcb" ]; then
    bench=(./scripts/with-xvfb.sh env QT_QPA_PLATFORM=xcb "${bench[@]}")
else
    export QT_QPA_PLATFORM=offscreen
fi

status=0
"${bench[@]}" --rate 960 --seconds 60 || status=1
"${bench[@]}" --rate 8 --seconds 60 || status=1
exit $status
