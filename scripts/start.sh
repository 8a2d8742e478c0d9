#!/usr/bin/env bash
# Sets up, builds and starts zarn on the demo data (--fleet: as a base station with a fleet;
# --afresh: on the demo set as it came, whatever was changed or saved in it since).
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
# The demos run in a folder of the user's data (XDG data home), not in the sources: whatever the
# program writes there (trip logs, saved destinations...) stays between runs.
data="${XDG_DATA_HOME:-$HOME/.local/share}/zarn"
kind=demo
afresh=()
while [ "${1:-}" = "--fleet" ] || [ "${1:-}" = "--afresh" ]; do
  # --fleet: a base station, in a folder of its own so that the demo set itself stays a single
  # car's. --afresh: the demo set copied in again over what the user changed in it.
  if [ "$1" = "--fleet" ]; then kind=fleet; else afresh=(--afresh); fi
  shift
done
dir="$data/$kind"
# When the folder cannot be brought up to date, the program starts on it as it is; when that was
# cut short by a signal, it does not start.
status=0
"$top/scripts/demofolder.sh" "${afresh[@]}" "$kind" "$dir" || status=$?
if [ "$status" -gt 128 ] || { [ "$status" != 0 ] && [ ! -d "$dir" ]; }; then exit "$status"; fi
[ "$status" = 0 ] || echo "zarn: the demo folder could not be brought up to date; starting on $dir as it is" >&2
cd "$dir"
export ZARN_TOOLS="$top/tools"
exec "$top/build/zarn" "$@"
