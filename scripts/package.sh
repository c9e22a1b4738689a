#!/usr/bin/env bash
# Builds the Debian package of the recorder and qel-te-analyze, checks it with lintian and prints its path:
#   build/package/qel-te-recorder_<version>_<arch>.deb      install with: sudo apt install ./build/package/...deb
# Uses the default build tree (configured here; only the two programs and the package's files are built), then
# CPack; the package's Depends come from dpkg-shlibdeps. Exits non-zero when lintian finds an error.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh package
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD"
fi
# The same sources make the same package: the dates in it (manual pages, changelog, files) are the last
# commit's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi

cmake --preset default >/dev/null
cmake --build --preset default --target qel-te-recorder qel-te-analyze qel_package_files
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package
deb=$(echo build/package/qel-te-recorder_*.deb)
[ -f "$deb" ] || { echo "package.sh: CPack wrote no package to build/package" >&2; exit 1; }

echo "== lintian (errors and warnings; none is the good answer)"
status=0
findings=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$findings" || true
[ "$status" -eq 0 ] || { echo "package.sh: lintian found errors in $deb" >&2; exit 1; }
echo "Package: $deb"
