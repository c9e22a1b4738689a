#!/usr/bin/env bash
# The recorder on a simulated QEL unit and a simulated Alpaca mount. Builds the program and both simulators,
# starts the simulated unit on port 1 (a COM1 link in demo/), the mount on 127.0.0.1 (discovery answered on
# 127.0.0.1 only) and the recorder in demo/ with settings that select port 1 and the mount preselected.
#   With a display: check "Connect to ASCOM Driver" (Return accepts the mount; Discover finds it too), press
#   Start; closing the window ends the demo.
#   Without one: runs under Xvfb, connects and presses Start itself, records for DEMO_SECONDS (30) and prints
#   where the screenshot and the record file are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh demo
cmake --preset default >/dev/null
cmake --build --preset default --target qel-te-recorder qel-unit-sim alpaca-mount-sim

demo="$root/demo"
mkdir -p "$demo"
cd "$demo"
rm -f COM1 QEL_TE_Recorder1.txt mount.log

# Port 1, 120 display samples, the 2.2 unit, record to file and show the readings as text.
printf '%s\r\n' "[Display]" "CommPort= 0" "DisplaySamples= 0" "QELVersion= 0" "RecordToFile= 1" \
    "DisplayTabularData= 1" "HighSpeedRecord= 0" "ConnectToASCOMDriver= 0" "OutputFile=QEL_TE_Recorder1.txt" \
    "[ASCOM PID]" "EnableASCOMPIDControl= 0" "ControlRate= 0" "PropGain= 0" "IntegrGain= 0" "DerivGain= 0" \
    "GuideRate= 0" >QEL_TE_Recorder.ini

"$root/build/tools/qel-unit-sim" --port 1 --dir "$demo" --rate 8 --seed 7 --seconds 86400 --drop-unread >sim.log 2>&1 &
sim=$!
# The mount: any free HTTP port on 127.0.0.1, discovery on a loopback port of its own (never broadcast).
discovery_port=${DEMO_DISCOVERY_PORT:-32227}
"$root/build/tools/alpaca-mount-sim" --discovery-port "$discovery_port" --ra 5.5 --dec 45.25 >mount.log 2>&1 &
mount=$!
trap 'kill $sim $mount 2>/dev/null || true; wait $sim $mount 2>/dev/null || true' EXIT
# Readings the recorder does not read yet are dropped, as on a real line with nobody listening.
for _ in $(seq 1 50); do grep -q ' -> ' sim.log && break; sleep 0.1; done
grep -q ' -> ' sim.log || { echo "the simulated QEL unit did not start:"; cat sim.log; exit 1; }
echo "Simulated QEL unit: $(head -n 1 sim.log)"
for _ in $(seq 1 50); do grep -q 'http://' mount.log && break; sleep 0.1; done
mount_port=$(sed -n 's|.*http://127.0.0.1:\([0-9]*\) .*|\1|p' mount.log)
[ -n "$mount_port" ] || { echo "the simulated mount did not start:"; cat mount.log; exit 1; }
echo "Simulated mount:    $(head -n 1 mount.log)"
export TELESCOPE_ARGS="--telescope alpaca://127.0.0.1:$mount_port/telescope/0 --discovery-targets 127.0.0.1 --discovery-port $discovery_port"

if [ -n "${DISPLAY:-}" ]; then
    echo "Check \"Connect to ASCOM Driver\" (Return accepts the mount), press Start; close the window to end the demo."
    # shellcheck disable=SC2086
    "$root/build/src/app/qel-te-recorder" $TELESCOPE_ARGS
    exit 0
fi

export DEMO_SECONDS=${DEMO_SECONDS:-30} RECORDER="$root/build/src/app/qel-te-recorder"
"$root/scripts/with-xvfb.sh" bash -c '
    set -euo pipefail
    # shellcheck disable=SC2086
    "$RECORDER" $TELESCOPE_ARGS >recorder.log 2>&1 &
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
    height=$(xdotool getwindowgeometry --shell "$wid" | sed -n "s/^HEIGHT=//p")
    # "Connect to ASCOM Driver" sits at (40, 88) of the client area, below the menu bar; the chooser opens
    # with the mount preselected and Return accepts it.
    xdotool mousemove --window "$wid" 40 $((height - 640 + 88)) click 1
    chooser=$(xdotool search --sync --onlyvisible --name "Choose a Telescope" | head -n 1)
    sleep 0.5
    # Without a window manager the keyboard follows the pointer.
    xdotool mousemove --window "$chooser" 60 20 key Return
    sleep 2
    # Start sits at (76, 186).
    xdotool mousemove --window "$wid" 76 $((height - 640 + 186)) click 1
    echo "Recording for $DEMO_SECONDS seconds ..."
    sleep "$DEMO_SECONDS"
    import -window "$wid" screenshot.png
    kill "$app"; wait "$app" 2>/dev/null || true
'
lines=$(wc -l <QEL_TE_Recorder1.txt)
echo "Screenshot:  $demo/screenshot.png"
echo "Record file: $demo/QEL_TE_Recorder1.txt ($lines readings; last: $(tail -n 1 QEL_TE_Recorder1.txt | tr -d '\r'))"
echo "Event log:   $demo/QEL_TE_Recorder_log.txt"
