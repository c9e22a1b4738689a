#!/usr/bin/env bash
# The real program under Xvfb, started the way an operator starts it, in a directory where the event log cannot
# be created: it shows a message and ends with a non-zero status. (The log of a start that works: e2e_package
# runs the installed program; emptied at every start: test_event_log.)
# Usage: e2e_startup.sh <path to qel-te-recorder>   (run on an X display: scripts/with-xvfb.sh)
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

wait_for_window() { # pid -> window id, or fail
    for _ in $(seq 1 300); do
        kill -0 "$1" 2>/dev/null || return 1
        wid=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$wid" ] && { echo "$wid"; return 0; }
        sleep 0.1
    done
    return 1
}

# A directory stands where the log should be: the log cannot be created.
mkdir -p "$work/blocked/QEL_TE_Recorder_log.txt"
(cd "$work/blocked" && exec "$bin") >"$work/blocked.log" 2>&1 &
pid=$!
wait_for_window "$pid" >/dev/null || fail "no message box appeared"
wid=$(xdotool search --sync --onlyvisible --name '^QEL TE Recorder$' | head -n 1)
sleep 0.3
xdotool windowfocus --sync "$wid" key Return
status=0
wait "$pid" || status=$?
[ "$status" -ne 0 ] || fail "exit status 0 after a failed start"
echo "PASS: unwritable log told, exit status $status"
