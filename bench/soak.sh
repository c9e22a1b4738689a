#!/usr/bin/env bash
# The soak run (bench_soak): the real window records from qel-unit-sim at 8 readings/s and guides a simulated
# mount with PID control on for MINUTES (default 60), a fault every 1 to 3 minutes at random. Run by hand after
# a default build; it prints the figures and PASSED or FAILED.
#   bench/soak.sh [MINUTES] [alpaca|indi] [SEED]
# The INDI run happens in a private network namespace next to a fresh indiserver (with_indiserver.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-60}
mount=${2:-alpaca}
seed=${3:-1}
bench=${BENCH:-$here/build/bench/bench_soak}
export LC_ALL=C QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/qel-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if [ "$mount" = indi ]; then
  exec "$here/tests/telescope/indi/with_indiserver.sh" "$bench" --minutes "$minutes" --mount indi --seed "$seed"
fi
exec "$bench" --minutes "$minutes" --mount alpaca --seed "$seed"
