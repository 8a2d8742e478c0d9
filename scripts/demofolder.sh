#!/usr/bin/env bash
# Makes or refreshes a demo folder: scripts/demofolder.sh demo|fleet FOLDER
# The demo set (data/demo) is copied in the first time and again whenever it has changed; what
# the program wrote there meanwhile (trip logs, saved destinations...) is kept otherwise.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-}
dir=${2:-}
if [ "$kind" != demo ] && [ "$kind" != fleet ] || [ -z "$dir" ]; then
  echo "usage: scripts/demofolder.sh demo|fleet FOLDER" >&2
  exit 2
fi
stamp=$(cd "$top/data/demo" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum | cut -d' ' -f1)
if [ ! -f "$dir/.demo-set" ] || [ "$(cat "$dir/.demo-set")" != "$stamp" ]; then
  echo "zarn: copying the demo set to $dir" >&2
  mkdir -p "$dir"
  cp -r "$top/data/demo/." "$dir"
  if [ "$kind" = fleet ]; then
    # A base station: the fleet's configuration and its dial panel; the map keeps its own size,
    # with the vehicles list and the messages beside it.
    cp "$top/data/demo/fleet/ZARN.MCV" "$top/data/demo/fleet/ZARNDIAL.CFG" "$dir/"
    rm -f "$dir/AUTORESO.CFG"
  fi
  echo "$stamp" > "$dir/.demo-set"
fi
