#!/usr/bin/env bash
# The recorder on a simulated QEL unit. Builds the program and the simulator, starts the simulated unit on
# port 1 (a COM1 link in demo/) and the recorder in demo/ with settings that select port 1.
#   With a display: press Start in the window; closing the window ends the demo.
#   Without one: runs under Xvfb, presses Start itself, records for DEMO_SECONDS (30) and prints where the
#   screenshot and the record file are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh demo
cmake --preset default >/dev/null
cmake --build --preset default --target qel-te-recorder qel-unit-sim

demo="$root/demo"
mkdir -p "$demo"
cd "$demo"
rm -f COM1 QEL_TE_Recorder1.txt

# Port 1, 120 display samples, the 2.2 unit, record to file and show the readings as text.
printf '%s\r\n' "[Display]" "CommPort= 0" "DisplaySamples= 0" "QELVersion= 0" "RecordToFile= 1" \
    "DisplayTabularData= 1" "HighSpeedRecord= 0" "ConnectToASCOMDriver= 0" "OutputFile=QEL_TE_Recorder1.txt" \
    "[ASCOM PID]" "EnableASCOMPIDControl= 0" "ControlRate= 0" "PropGain= 0" "IntegrGain= 0" "DerivGain= 0" \
    "GuideRate= 0" >QEL_TE_Recorder.ini

"$root/build/tools/qel-unit-sim" --port 1 --dir "$demo" --rate 8 --seed 7 --seconds 86400 --drop-unread >sim.log 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT
# Readings the recorder does not read yet are dropped, as on a real line with nobody listening.
for _ in $(seq 1 50); do grep -q ' -> ' sim.log && break; sleep 0.1; done
grep -q ' -> ' sim.log || { echo "the simulated QEL unit did not start:"; cat sim.log; exit 1; }
echo "Simulated QEL unit: $(head -n 1 sim.log)"

if [ -n "${DISPLAY:-}" ]; then
    echo "Press Start in the window; close it to end the demo."
    "$root/build/src/app/qel-te-recorder"
    exit 0
fi

export DEMO_SECONDS=${DEMO_SECONDS:-30} RECORDER="$root/build/src/app/qel-te-recorder"
"$root/scripts/with-xvfb.sh" bash -c '
    set -euo pipefail
    "$RECORDER" >recorder.log 2>&1 &
    app=$!
    # The window within 30 s, or why not: the recorder ended (its log) or hangs.
    wid=""
    for _ in $(seq 1 300); do
        kill -0 "$app" 2>/dev/null || { echo "the recorder ended before its window appeared:"; cat recorder.log; exit 1; }
        wid=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1 || true)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    [ -n "$wid" ] || { echo "no recorder window after 30 s:"; cat recorder.log; kill "$app"; exit 1; }
    sleep 1
    # Start sits at (76, 186) of the client area, below the menu bar.
    height=$(xdotool getwindowgeometry --shell "$wid" | sed -n "s/^HEIGHT=//p")
    xdotool mousemove --window "$wid" 76 $((height - 640 + 186)) click 1
    echo "Recording for $DEMO_SECONDS seconds ..."
    sleep "$DEMO_SECONDS"
    import -window "$wid" screenshot.png
    kill "$app"; wait "$app" 2>/dev/null || true
'
lines=$(wc -l <QEL_TE_Recorder1.txt)
echo "Screenshot:  $demo/screenshot.png"
echo "Record file: $demo/QEL_TE_Recorder1.txt ($lines readings)"
echo "Event log:   $demo/QEL_TE_Recorder_log.txt"
