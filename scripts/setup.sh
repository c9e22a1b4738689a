#!/usr/bin/env bash
# Installs the Debian 12 packages one purpose needs; idempotent (installs nothing when all are there).
#   setup.sh demo    build the program and run the demo (Xvfb and xdotool for the display-less run)
#   setup.sh tests   build and run the test suite (Xvfb, xdotool; CUPS and cups-pdf for the printing test,
#                    poppler-utils to look at what it printed; indiserver, ip and GNU time for the INDI runs;
#                    the package tools for the package test)
#   setup.sh package build the Debian package (scripts/package.sh: dpkg-shlibdeps, lintian)
#   setup.sh bench   build and run the benchmarks (Xvfb for --xcb)
#   setup.sh fuzz    build the fuzzing targets (clang and its libFuzzer runtime)
#   setup.sh all     everything above (the default)
set -euo pipefail

# What every build needs: the default preset configures the tests and benchmarks too.
build=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libqcustomplot-dev
  libgtest-dev libbenchmark-dev
  libfftw3-dev libeigen3-dev
  fonts-liberation fonts-dejavu-core fonts-wine
)
display=(xvfb xauth xdotool)
# Building the Debian package and checking it: dpkg-shlibdeps (dpkg-dev) and file for CPack's Depends, the
# desktop entry's and the AppStream entry's validators, lintian.
package=(dpkg-dev file desktop-file-utils appstream lintian)

purpose=${1:-all}
case "$purpose" in
  demo) packages=("${build[@]}" "${display[@]}" imagemagick) ;;
  tests) packages=("${build[@]}" "${display[@]}" cups printer-driver-cups-pdf poppler-utils indi-bin iproute2 time
                   "${package[@]}") ;;
  package) packages=("${build[@]}" "${package[@]}") ;;
  bench) packages=("${build[@]}" "${display[@]}") ;;
  fuzz) packages=("${build[@]}" clang libclang-rt-14-dev) ;;
  all) packages=("${build[@]}" "${display[@]}" imagemagick cups printer-driver-cups-pdf poppler-utils indi-bin
                 iproute2 time clang libclang-rt-14-dev "${package[@]}") ;;
  *) echo "usage: setup.sh [demo|tests|package|bench|fuzz|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup ($purpose): installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
