#!/usr/bin/env bash
# The guided run against INDI's telescope simulator: bench_indi_guided_run (the Timer1 tick driving IndiDriver)
# for SECONDS (default 120) next to a parked simulator, then the pulses indiserver -vvv logged are compared with
# the ones the driver reported as sent. Needs a build with the default preset.
#   bench/indi-guided-run.sh [SECONDS] [HZ]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
hz=${2:-2}
work=$(mktemp -d)
"$here/tests/telescope/indi/with_indiserver.sh" --parked --log "$work/indiserver.log" \
  "$here/build/bench/bench_indi_guided_run" --seconds "$seconds" --hz "$hz" --pulses "$work/recorder.txt"
# "Client N: read newNumberVector Telescope Simulator TELESCOPE_TIMED_GUIDE_WE" and the two values below it.
awk '/Client [0-9]+: read newNumberVector Telescope Simulator TELESCOPE_TIMED_GUIDE_(WE|NS)/ {
       axis = substr($NF, length($NF) - 1); getline a; getline b
       gsub(/[^0-9]/, "", a); gsub(/[^0-9]/, "", b); print axis, a, b }' "$work/indiserver.log" >"$work/server.txt"
echo "pulses in indiserver's log: $(grep -c '^WE' "$work/server.txt") west/east, $(grep -c '^NS' "$work/server.txt") north/south"
if diff -q "$work/recorder.txt" "$work/server.txt" >/dev/null; then
  echo "indiserver's log matches the pulses the recorder sent, one for one ($work)"
else
  echo "MISMATCH between the recorder's pulses and indiserver's log:"; diff "$work/recorder.txt" "$work/server.txt" | head -20
  exit 1
fi
