#!/usr/bin/env bash
# Runs a command on a private Xvfb display that Xvfb picks itself (-displayfd), so that several runs at
# once never race for the same display number as `xvfb-run -a` can.
# Usage: with-xvfb.sh command [args...]
set -euo pipefail
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb=$!
cleanup() { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$fifo_dir"; }
trap cleanup EXIT
read -r -t 30 number <"$fifo_dir/display" || { echo "Xvfb did not start:"; cat "$fifo_dir/xvfb.log"; exit 1; }
export DISPLAY=":$number"
unset XAUTHORITY
status=0
"$@" || status=$?
exit $status
