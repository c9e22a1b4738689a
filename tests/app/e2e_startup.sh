#!/usr/bin/env bash
# The real program under Xvfb, started the way an operator starts it:
#  - a fresh directory gets an event log whose first line is the start-up line; a second start empties it;
#  - a directory where the log cannot be created shows a message and ends the program with a non-zero status.
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

run_once() { # dir
    (cd "$1" && exec "$bin") >"$work/app.log" 2>&1 &
    local pid=$!
    wait_for_window "$pid" >/dev/null || fail "no window appeared: $(cat "$work/app.log")"
    kill "$pid"; wait "$pid" 2>/dev/null || true
}

# Fresh directory, twice.
mkdir "$work/fresh"
run_once "$work/fresh"
run_once "$work/fresh"
log="$work/fresh/QEL_TE_Recorder_log.txt"
[ -f "$log" ] || fail "no event log"
head -n 1 "$log" | grep -Eq '^[0-9]{4}-[A-Z][a-z]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{2} QEL Log File Startup'$'\r''$' \
    || fail "first line: $(head -n 1 "$log" | od -c | head -n 3)"
[ "$(grep -c 'QEL Log File Startup' "$log")" -eq 1 ] || fail "second start did not empty the log"
tail -n 1 "$log" | grep -q ' Chart Initialized'$'\r''$' || fail "last line: $(tail -n 1 "$log")"

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
echo "PASS: start-up trail and unwritable log (exit status $status)"
