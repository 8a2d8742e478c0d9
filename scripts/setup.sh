#!/usr/bin/env bash
# Installs the Debian packages that are missing from the lists named: scripts/setup.sh LIST...
#   run   building and running zarn (scripts/start.sh)
#   test  the tests, benchmarks and fuzz targets besides (scripts/test.sh takes both)
set -euo pipefail

run=(
  build-essential        # the C++ compiler and its library
  cmake ninja-build      # the build
  pkg-config             # how CMake finds libpulse-simple
  qt6-base-dev           # Qt 6 Widgets: headers, libraries, CMake files, platform plugins
  libgl-dev              # the OpenGL headers that Qt's CMake files insist on
  libxcb1-dev            # the windows' colormap set on an X display
  fonts-dejavu-core      # the font Qt draws the windows' text with
  libpulse-dev           # PulseAudio's simple API, which plays the WAV prompts
  libespeak-ng-dev       # the speech library
  espeak-ng-data         # its voices, loaded at run time
)
test=(
  libgtest-dev           # GoogleTest
  libbenchmark-dev       # Google Benchmark
  clang libclang-rt-14-dev  # the fuzz targets: clang's libFuzzer and sanitizer run-times
  espeak-ng              # speaks the WAV files the sound tests play and decode
  sox                    # converts and measures them (sox, soxi)
  pulseaudio             # a private sound server for the player tests
  proj-bin               # cs2cs: reference grid conversions
  geographiclib-tools    # GeoConvert, GeodSolve: reference UTM, MGRS and distances
  gpsd-clients           # gpsdecode: gpsd's own reading of the recorded logs
  libproj-dev libgeographiclib-dev  # the libraries the benchmarks compare against
  xvfb openbox xdotool   # the program run as on a desktop: a virtual display, a window manager, typing
  fluxbox                # a second window manager the windows are drawn under
  x11-apps               # xwd: the screen captured as users capture it
  libx11-dev             # reading that display back in the desktop tests
)

packages=()
for list in "$@"; do
  case $list in
    run) packages+=("${run[@]}") ;;
    test) packages+=("${test[@]}") ;;
    *) echo "setup.sh: unknown list '$list' (run, test)" >&2; exit 2 ;;
  esac
done
if ((${#packages[@]} == 0)); then
  echo "usage: scripts/setup.sh run [test]" >&2
  exit 2
fi

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
