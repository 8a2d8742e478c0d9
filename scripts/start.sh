#!/usr/bin/env bash
# Sets up, builds and starts zarn on the demo data (--fleet: as a base station with a fleet).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" run
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARN_TESTS=OFF -DZARN_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "zarn needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Start it from a desktop session, or under a virtual one (Debian's xvfb and xauth):" >&2
  echo "  xvfb-run -s '-screen 0 1024x768x24' $0" >&2
  exit 1
fi
if [ "${1:-}" = "--fleet" ]; then
  # A base station: the demo set with the fleet's configuration, in a folder of its own so that
  # the demo set itself stays a single car's.
  shift
  dir=$(mktemp -d "${TMPDIR:-/tmp}/zarn-fleet.XXXXXX")
  cp -r "$top/data/demo/." "$dir"
  cp "$top/data/demo/fleet/ZARN.MCV" "$dir/"
  cd "$dir"
else
  cd "$top/data/demo"
fi
export ZARN_TOOLS="$top/tools"
exec "$top/build/zarn" "$@"
