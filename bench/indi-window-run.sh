#!/usr/bin/env bash
# The real window guiding INDI's telescope simulator with PID control on: bench_indi_window_run (Form1 with
# qel-unit-sim on COM1, Check5 on, Start) for SECONDS (default 120) next to a parked simulator in its own
# network namespace, then the pulses indiserver -vvv logged are compared with the ones the window asked for.
# Needs a build with the default preset (or BENCH=path/to/bench_indi_window_run).
#   bench/indi-window-run.sh [SECONDS] [more bench_indi_window_run options, e.g. --hz 5 --screenshot w.png]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
shift || true
bench=${BENCH:-$here/build/bench/bench_indi_window_run}
work=${WORK:-$(mktemp -d)}
mkdir -p "$work"
export LC_ALL=C QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/qel-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$here/tests/telescope/indi/with_indiserver.sh" --parked --log "$work/indiserver.log" \
  "$bench" --seconds "$seconds" --pulses "$work/recorder.txt" "$@" | tee "$work/bench.txt"
# "Client N: read newNumberVector Telescope Simulator TELESCOPE_TIMED_GUIDE_WE" and the two values below it.
awk '/Client [0-9]+: read newNumberVector Telescope Simulator TELESCOPE_TIMED_GUIDE_(WE|NS)/ {
       axis = substr($NF, length($NF) - 1); getline a; getline b
       gsub(/[^0-9]/, "", a); gsub(/[^0-9]/, "", b); print axis, a, b }' "$work/indiserver.log" >"$work/server.txt"
echo "pulses in indiserver's log: $(grep -c '^WE' "$work/server.txt" || true) west/east," \
  "$(grep -c '^NS' "$work/server.txt" || true) north/south"
echo "  west $(awk '$1=="WE" && $2>0' "$work/server.txt" | wc -l), east $(awk '$1=="WE" && $3>0' "$work/server.txt" | wc -l)," \
  "ms total W $(awk '$1=="WE"{s+=$2} END{print s+0}' "$work/server.txt") E $(awk '$1=="WE"{s+=$3} END{print s+0}' "$work/server.txt")"
if diff -q "$work/recorder.txt" "$work/server.txt" >/dev/null; then
  echo "indiserver's log matches the pulses the window asked for, one for one ($work)"
else
  echo "MISMATCH between the window's pulses and indiserver's log ($work):"
  diff "$work/recorder.txt" "$work/server.txt" | head -20
  exit 1
fi
