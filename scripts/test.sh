#!/usr/bin/env bash
# The whole test suite: set-up, the normal and the sanitizer (ASan + UBSan) builds, ctest on both.
# Ends with ctest's summary of the sanitizer run; exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh tests
mkdir -p /tmp/qel-runtime && chmod 700 /tmp/qel-runtime

jobs=$(nproc)
for preset in default asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# A failing normal run stops here, so the last summary printed is always the one that decides.
echo "== default: ctest"
ctest --preset default -j "$jobs"
echo "== asan: ctest"
ctest --preset asan -j "$jobs"
