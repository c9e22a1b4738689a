#!/usr/bin/env bash
# Runs a command next to a fresh `indiserver indi_simulator_telescope`, inside a private network namespace that has
# only loopback (indiserver listens on every address) and with a HOME of its own (the simulator keeps its park state
# in ~/.indi). Used by the INDI integration tests and by hand.
#   with_indiserver.sh [--parked] [--log FILE] COMMAND ARGS...
# The server listens on port 7624 of the namespace; COMMAND runs once the simulator answers, with the server's
# process id in INDISERVER_PID. Exit code: COMMAND's,
# or 77 (skipped) when unshare, ip or indiserver is missing or namespaces are not allowed; with
# QEL_REQUIRE_INTEGRATION set (CI sets it) that is a failure instead: a test that cannot run has not passed.
set -u

skip() {
  if [ -n "${QEL_REQUIRE_INTEGRATION:-}" ]; then echo "FAIL (QEL_REQUIRE_INTEGRATION is set): $*" >&2; exit 1; fi
  echo "SKIP: $*" >&2
  exit 77
}

if [ -z "${QEL_INDI_NETNS:-}" ]; then
  for tool in unshare ip indiserver indi_simulator_telescope indi_getprop indi_setprop; do
    command -v "$tool" >/dev/null 2>&1 ||
      skip "$tool is not installed (./scripts/setup.sh tests installs indi-bin, util-linux and iproute2)"
  done
  unshare -rn true 2>/dev/null ||
    skip "unshare -rn failed: this system does not allow unprivileged network namespaces"
  export QEL_INDI_NETNS=1
  exec unshare -rn "$0" "$@"
fi

parked=0
log=/dev/null
while [ $# -gt 0 ]; do
  case "$1" in
    --parked) parked=1; shift ;;
    --log) log="$2"; shift 2 ;;
    *) break ;;
  esac
done
ip link set lo up

home=$(mktemp -d)
export HOME="$home"
mkdir -p "$home/.indi"
[ "$parked" = 1 ] && echo '<parkdata><device name="Telescope Simulator"><parkstatus>true</parkstatus><parkposition>
<axis1position>-6.000000</axis1position><axis2position>0.000000</axis2position></parkposition></device></parkdata>' \
  >"$home/.indi/ParkData.xml"

indiserver -vvv -p 7624 indi_simulator_telescope >"$log" 2>&1 &
server=$!
export INDISERVER_PID=$server # for tests that take the server away
cleanup() { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$home"; }
trap cleanup EXIT

for _ in $(seq 1 100); do
  if indi_getprop -p 7624 -t 1 "Telescope Simulator.CONNECTION.CONNECT" >/dev/null 2>&1; then "$@"; exit $?; fi
  sleep 0.05
done
echo "FAIL: indiserver with indi_simulator_telescope did not answer on port 7624 within 5 s" >&2
exit 1
