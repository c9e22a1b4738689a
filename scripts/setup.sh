#!/usr/bin/env bash
# Installs the Debian 12 packages the recorder, its tests and its demo need.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libqcustomplot-dev
  libgtest-dev libbenchmark-dev
  libfftw3-dev libeigen3-dev
  clang libclang-rt-14-dev
  indi-bin
  xvfb xauth xdotool imagemagick x11-apps
  fonts-liberation fonts-dejavu-core fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
