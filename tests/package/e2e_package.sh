#!/usr/bin/env bash
# The Debian package as an operator gets it. CPack builds it from this build tree; its control fields and
# files are checked (dpkg-deb), its desktop entry, AppStream entry and manual pages validated, lintian finds no
# error; dpkg installs it into a scratch root (apt, simulated, resolves it on this machine); both programs run
# from there: --version and --help without a display and without a word from Qt, and the recorder's window,
# started in a scratch directory with a settings file, writes its three start-up lines to the event log there.
# Fails, naming the tool, when one it needs is missing (./scripts/setup.sh tests installs them).
# Usage: e2e_package.sh <build dir> <version> <title> <description>   (on an X display: scripts/with-xvfb.sh)
set -euo pipefail
build=$1 version=$2 title=$3 description=$4
fail() { echo "FAIL: $*"; exit 1; }

for tool in cpack dpkg dpkg-deb dpkg-shlibdeps file readelf desktop-file-validate appstreamcli lintian groff \
    apt-get xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./scripts/setup.sh tests installs it)"
done
[ -n "${DISPLAY:-}" ] || fail "no display: run this under scripts/with-xvfb.sh"

work=$(mktemp -d /tmp/qel-package-XXXXXX)
app=""
trap '[ -z "$app" ] || { kill "$app"; wait "$app"; } 2>/dev/null || true; rm -rf "$work"' EXIT

# --- Build ---
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
deb="$work/out/qel-te-recorder_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"

# --- Control fields: name, version and summary from project(); Depends computed by dpkg-shlibdeps ---
field() { dpkg-deb --field "$deb" "$1"; }
for pair in Package=qel-te-recorder "Version=$version" Section=science "Recommends=fonts-liberation, fonts-wine"; do
    [ "$(field "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*}: $(field "${pair%%=*}"), not ${pair#*=}"
done
[ "$(field Description | head -n 1)" = "$description" ] || fail "Description: $(field Description | head -n 1)"
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description"
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6printsupport6 \
    libqt6serialport6 libqcustomplot2.1-qt6 libfftw3-double3; do
    grep -q "^$lib (>= [^)]*)$" <<<"${depends//, /$'\n'}" || fail "Depends lacks $lib: $depends"
done

# --- Every file where it belongs, owned by root, with the usual modes ---
expected="-rwxr-xr-x ./usr/bin/qel-te-analyze
-rwxr-xr-x ./usr/bin/qel-te-recorder
-rw-r--r-- ./usr/share/applications/qel-te-recorder.desktop
-rw-r--r-- ./usr/share/doc/qel-te-recorder/changelog.gz
-rw-r--r-- ./usr/share/doc/qel-te-recorder/copyright
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/qel-te-recorder.png
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/qel-te-recorder.svg
-rw-r--r-- ./usr/share/man/man1/qel-te-analyze.1.gz
-rw-r--r-- ./usr/share/man/man1/qel-te-recorder.1.gz
-rw-r--r-- ./usr/share/metainfo/qel-te-recorder.metainfo.xml"
dpkg-deb --contents "$deb" >"$work/contents.txt"
files=$(awk '$1 !~ /^d/ { print $1, $6 }' "$work/contents.txt" | sort -k 2)
[ "$files" = "$expected" ] || fail "the package's files differ:$(diff <(echo "$expected") <(echo "$files") || true)"
awk '$2 != "root/root" || ($1 ~ /^d/ && $1 != "drwxr-xr-x")' "$work/contents.txt" >"$work/odd.txt"
[ ! -s "$work/odd.txt" ] || fail "owner or mode: $(cat "$work/odd.txt")"

# --- Installed into a scratch root; the libraries it depends on are this machine's ---
root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
: >"$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 ||
    fail "dpkg -i: $(cat "$work/dpkg.log")"
status=$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' qel-te-recorder)
[ "$status" = "install ok installed" ] || fail "dpkg status: $status"
# `apt install ./file.deb` on this machine: every relation resolves (simulated, nothing changes).
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || fail "apt cannot install it: $(cat "$work/apt.log")"

bin="$root/usr/bin" share="$root/usr/share"
for program in qel-te-recorder qel-te-analyze; do
    ! readelf -d "$bin/$program" | grep -Eq 'RPATH|RUNPATH' ||
        fail "$program carries a run path: $(readelf -d "$bin/$program" | grep -E 'RPATH|RUNPATH')"
    file "$bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done

# --- Desktop entry, icons, AppStream entry ---
desktop="$share/applications/qel-te-recorder.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
for line in "Name=$title" "Comment=$description" "Exec=qel-te-recorder" "Icon=qel-te-recorder"; do
    grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
done
file "$share/icons/hicolor/32x32/apps/qel-te-recorder.png" | grep -q 'PNG image data, 32 x 32' ||
    fail "32x32 icon: $(file "$share/icons/hicolor/32x32/apps/qel-te-recorder.png")"
grep -q '<svg' "$share/icons/hicolor/scalable/apps/qel-te-recorder.svg" || fail "the scalable icon is no SVG"
metainfo="$share/metainfo/qel-te-recorder.metainfo.xml"
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.txt" 2>&1 || true
# The one warning kept: the id is not reverse-DNS (the project has no domain to name it after yet).
grep -E '^(E|W):' "$work/appstream.txt" | grep -v 'cid-desktopapp-is-not-rdns' >"$work/appstream-bad.txt" || true
[ ! -s "$work/appstream-bad.txt" ] || fail "appstreamcli validate: $(cat "$work/appstream.txt")"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream entry names no release $version"
grep -q '<launchable type="desktop-id">qel-te-recorder.desktop</launchable>' "$metainfo" ||
    fail "the AppStream entry does not launch the desktop entry"

# --- Manual pages: render without a warning, carry the version, hold what an operator looks for ---
for program in qel-te-recorder qel-te-analyze; do
    page="$share/man/man1/$program.1.gz"
    zcat "$page" >"$work/$program.1"
    groff -man -Tutf8 -wmac -z "$work/$program.1" 2>"$work/groff.txt" || fail "groff on $program.1 failed"
    [ ! -s "$work/groff.txt" ] || fail "groff warns on $program.1: $(cat "$work/groff.txt")"
    grep -q "^\.TH .* \"$title $version\"" "$work/$program.1" || fail "$program.1 does not name version $version"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES "SEE ALSO"; do
        grep -qE "^\.SH \"?$section\"?$" "$work/$program.1" || fail "$program.1 has no $section section"
    done
done
grep -q '^\.SH THE SERIAL PORT$' "$work/qel-te-recorder.1" || fail "qel-te-recorder.1 has no port rules"
grep -qi 'home folder' "$work/qel-te-recorder.1" || fail "qel-te-recorder.1 does not say where files go from the menu"
zcat "$share/doc/qel-te-recorder/changelog.gz" | head -n 1 |
    grep -qxF "qel-te-recorder ($version) unstable; urgency=medium" || fail "changelog: not version $version"

# --- lintian: no error ---
lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || fail "lintian: $(cat "$work/lintian.txt")"

# --- --version and --help: no display, no runtime directory, nothing but the answer ---
answers() { # expected first line of stdout, command...
    local want=$1
    shift
    env -i PATH=/usr/bin:/bin LC_ALL=C "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" ||
        fail "$* exited with $?: $(cat "$work/stderr.txt")"
    [ ! -s "$work/stderr.txt" ] || fail "$* wrote to stderr: $(cat "$work/stderr.txt")"
    head -n 1 "$work/stdout.txt" | grep -q "^$want" || fail "$* printed: $(head -n 3 "$work/stdout.txt")"
}
answers "$title $version\$" "$bin/qel-te-recorder" --version
answers "Usage: " "$bin/qel-te-recorder" --help
answers "qel-te-analyze ($title) $version\$" "$bin/qel-te-analyze" --version
answers "Usage: " "$bin/qel-te-analyze" --help

# --- The recorder's window, started from a scratch directory with a settings file ---
run="$work/run"
mkdir "$run" && printf '%s\r\n' "[Display]" "CommPort= 0" "DisplaySamples= 0" "QELVersion= 0" "RecordToFile= 1" \
    "DisplayTabularData= 1" "HighSpeedRecord= 0" "ConnectToASCOMDriver= 0" "OutputFile=QEL_TE_Recorder1.txt" \
    "[ASCOM PID]" "EnableASCOMPIDControl= 0" "ControlRate= 0" "PropGain= 0" "IntegrGain= 0" "DerivGain= 0" \
    "GuideRate= 0" >"$run/QEL_TE_Recorder.ini"
(cd "$run" && exec "$bin/qel-te-recorder") >"$work/recorder.txt" 2>&1 &
app=$!
for _ in $(seq 1 300); do
    kill -0 "$app" 2>/dev/null || fail "the installed recorder ended: $(cat "$work/recorder.txt")"
    wid=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1 || true)
    [ -z "$wid" ] || break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window of the installed recorder within 30 s"
[ "$(xdotool getwindowname "$wid")" = "$title" ] || fail "window title: $(xdotool getwindowname "$wid")"
kill "$app" && wait "$app" 2>/dev/null || true
app=""
log="$run/QEL_TE_Recorder_log.txt"
[ -f "$log" ] || fail "no event log in the directory the recorder was started from"
stamp='[0-9]{4}-[A-Z][a-z]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{2}'
lines=$(sed -E "s/^$stamp //" "$log" | tr -d '\r')
[ "$lines" = "QEL Log File Startup
Load Settings Complete
Chart Initialized" ] || fail "event log: $(cat -A "$log")"
[ "$(grep -cE "^$stamp .*"$'\r$' "$log")" -eq 3 ] || fail "event log lines: $(cat -A "$log")"

echo "PASS: $(basename "$deb") ($(stat -c %s "$deb") bytes) built, checked, installed and run"
