#!/usr/bin/env bash
# Makes or refreshes a demo folder: scripts/demofolder.sh [--afresh] demo|fleet FOLDER
# The demo set (data/demo) is copied in the first time. When the set has changed since, what is
# new or changed in it is copied in, but for a file the user changed there (a configuration or
# the destinations saved): that one is kept and named. What the program wrote beside the set
# (trip logs...) always stays. --afresh copies the whole set in again over the user's changes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
afresh=0
if [ "${1:-}" = "--afresh" ]; then
  afresh=1
  shift
fi
kind=${1:-}
dir=${2:-}
if [ "$kind" != demo ] && [ "$kind" != fleet ] || [ -z "$dir" ]; then
  echo "usage: scripts/demofolder.sh [--afresh] demo|fleet FOLDER" >&2
  exit 2
fi
set_=$top/data/demo
stamp=$(cd "$set_" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum | cut -d' ' -f1)
if [ "$afresh" = 0 ] && [ -f "$dir/.demo-set" ] && [ "$(cat "$dir/.demo-set")" = "$stamp" ]; then
  exit 0
fi

# What goes where, with the sum of what goes: each file of the set to the same place, but for a
# base station the fleet's configuration and its dial panel go to the top, and the map keeps its
# own size (with the vehicles list and the messages beside it).
declare -A from=() sums=()
while IFS= read -r line; do
  from[${line:66}]=$set_/${line:68}
  sums[${line:66}]=${line:0:64}
done < <(cd "$set_" && find . -type f -print0 | xargs -0 sha256sum)
if [ "$kind" = fleet ]; then
  for f in ZARN.MCV ZARNDIAL.CFG; do
    from[./$f]=${from[./fleet/$f]}
    sums[./$f]=${sums[./fleet/$f]}
  done
  unset 'from[./AUTORESO.CFG]' 'sums[./AUTORESO.CFG]'
fi

# The set as it was last copied in, file by file; a folder made before this list was kept has
# none, and is copied over whole as it always was.
declare -A copied=()
if [ "$afresh" = 0 ] && [ -f "$dir/.demo-files" ]; then
  while IFS= read -r line; do
    copied[${line:66}]=${line:0:64}
  done < "$dir/.demo-files"
fi

if [ "$afresh" = 1 ]; then
  echo "zarn: copying the demo set afresh to $dir" >&2
else
  echo "zarn: copying the demo set to $dir" >&2
fi
mkdir -p "$dir"
if [ "${#copied[@]}" = 0 ]; then
  cp -r "$set_/." "$dir"
  if [ "$kind" = fleet ]; then
    cp "$set_/fleet/ZARN.MCV" "$set_/fleet/ZARNDIAL.CFG" "$dir/"
    rm -f "$dir/AUTORESO.CFG"
  fi
else
  # Only the files the set changed, each unless the user changed it too.
  declare -A now=()
  while IFS= read -r line; do
    now[${line:66}]=${line:0:64}
  done < <(cd "$dir" && for rel in "${!from[@]}"; do [ -f "$rel" ] && printf '%s\0' "$rel"; done | xargs -0 -r sha256sum)
  for rel in "${!from[@]}"; do
    have=${now[$rel]:-}
    [ "$have" = "${sums[$rel]}" ] && continue
    if [ -n "$have" ] && [ "$have" != "${copied[$rel]:-}" ]; then
      echo "zarn: keeping ${rel#./} as you changed it (scripts/start.sh --afresh puts the demo's back)" >&2
      continue
    fi
    mkdir -p "$(dirname "$dir/$rel")"
    cp "${from[$rel]}" "$dir/$rel"
  done
fi
list=$(mktemp "$dir/.demo-files.XXXXXX")
trap 'rm -f "$list"' EXIT
for rel in "${!sums[@]}"; do printf '%s  %s\n' "${sums[$rel]}" "$rel"; done > "$list"
mv "$list" "$dir/.demo-files"
echo "$stamp" > "$dir/.demo-set"
