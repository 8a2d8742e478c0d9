#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing zarn need.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev fontconfig fonts-dejavu-core
  libpulse-dev espeak-ng libespeak-ng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  proj-bin libproj-dev geographiclib-tools libgeographiclib-dev
  gpsd-clients socat xvfb xauth sox pulseaudio
  libgeo-coordinates-osgb-perl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
