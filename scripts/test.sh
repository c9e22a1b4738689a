#!/usr/bin/env bash
# The whole test suite: set-up, the normal and the sanitizer (ASan + UBSan) builds, ctest on both.
# Ends with ctest's summary of the sanitizer run; exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh tests
mkdir -p /tmp/qel-runtime && chmod 700 /tmp/qel-runtime

# Where a compiler cache is installed, a second run (or a fresh clone on the same machine) compiles only what
# changed; paths are taken relative to the checkout so that clones share the cache.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD"
fi

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
