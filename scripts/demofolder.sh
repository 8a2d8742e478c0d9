#!/usr/bin/env bash
# Makes or refreshes a demo folder: scripts/demofolder.sh [--afresh] demo|fleet FOLDER
# The demo set (data/demo) is copied in the first time. When the set has changed since, what is
# new or changed in it is copied in, but for a file the user changed there (a configuration or
# the destinations saved): that one is kept and named. A file is the user's when it is none of
# the versions the set has shipped (data/demo-shipped.sums, kept by tools/demo_shipped.sh) nor
# what was last copied in (the folder's .demo-files), so a folder without that list, or with a
# damaged one, loses nothing. What the program wrote beside the set (trip logs...) always stays,
# and so does a folder or a link where the set has a file. Each file it replaces is named; with
# --afresh the whole set is copied in again over the user's changes. A file is copied under a
# name of its own beside its place and renamed into it, so that a copy cut short (a signal, a
# full disk) leaves each file of the set whole or as it was, and the next start finishes it.
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
setsums=$(cd "$set_" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
stamp=$(printf '%s\n' "$setsums" | sha256sum | cut -d' ' -f1)

# What goes where, with the sum of what goes: each file of the set to the same place, but for a
# base station the fleet's configuration and its dial panel go to the top, and the map keeps its
# own size (with the vehicles list and the messages beside it). `src` is the file's place in the set.
declare -A from=() sums=() src=()
while IFS= read -r line; do
  from[${line:66}]=$set_/${line:68}
  sums[${line:66}]=${line:0:64}
  src[${line:66}]=${line:66}
done < <(printf '%s\n' "$setsums")
if [ "$kind" = fleet ]; then
  for f in ZARN.MCV ZARNDIAL.CFG; do
    from[./$f]=${from[./fleet/$f]}
    sums[./$f]=${sums[./fleet/$f]}
    src[./$f]=./fleet/$f
  done
  unset 'from[./AUTORESO.CFG]' 'sums[./AUTORESO.CFG]' 'src[./AUTORESO.CFG]'
fi
# The list of what is copied in, as .demo-files holds it when whole.
list=$(for rel in "${!sums[@]}"; do printf '%s  %s\n' "${sums[$rel]}" "$rel"; done | LC_ALL=C sort)

# Lines "SUM  ./PATH" of a list that may be damaged (cut short, CR LF ends, garbage, not a file
# at all), each well-formed line on stdout; what is not one is left out.
sound() {
  [ -f "$1" ] && [ -r "$1" ] || return 0
  head -c 16777216 -- "$1" 2>/dev/null | tr -d '\0' | tr '\r' '\n' | grep -E '^[0-9a-f]{64}  \./.' || true
}

# In `b`, the first folder on the way to a place (./A/B/C) that is something else in the
# user's folder (a file, a link); empty when there is none.
blocker() {
  local d=${1%/*}
  b=
  while [ "$d" != . ]; do
    if [ -L "$dir/$d" ] || { [ -e "$dir/$d" ] && [ ! -d "$dir/$d" ]; }; then b=${d#./}; fi
    d=${d%/*}
  done
}

# One start at a time works on a folder: another one waits until it is done.
mkdir -p -- "$dir"
exec 9<"$dir"
if ! flock -n 9; then
  echo "zarn: waiting for another start to finish with $dir" >&2
  flock 9
fi
# What a copy cut short left behind goes: the files on their way in, a list half-written. So does
# this copy's own when it ends, by a signal too (bash runs the EXIT trap before it dies of one).
shopt -s nullglob dotglob
tmps=()
copying=
cleanup() {
  if [ -n "$copying" ]; then kill "$copying" 2>/dev/null || true; wait "$copying" 2>/dev/null || true; fi
  rm -rf -- "${tmps[@]}"
}
trap cleanup EXIT
declare -A places=()
for rel in "${!from[@]}"; do places[${rel%/*}]=1; done
for d in "${!places[@]}"; do
  blocker "$d/x"
  if [ -n "$b" ] || [ ! -d "$dir/$d" ]; then continue; fi
  left=("$dir/$d"/.demo-copy.??????)
  if [ "$d" = . ]; then left+=("$dir"/.demo-files.?????? "$dir"/.demo-set.??????); fi
  rm -rf -- "${left[@]}"
done

if [ "$afresh" = 0 ] && [ -f "$dir/.demo-set" ] && [ "$(head -c 100 -- "$dir/.demo-set" 2>/dev/null)" = "$stamp" ] &&
  [ "$(sound "$dir/.demo-files" | LC_ALL=C sort)" = "$list" ]; then
  exit 0
fi

# The set as it was last copied in, and every version it has shipped, by place.
declare -A copied=() shipped=()
while IFS= read -r line; do
  [ -n "$line" ] && copied[${line:66}]=${line:0:64}
done < <(sound "$dir/.demo-files")
while IFS= read -r line; do
  [ -n "$line" ] && shipped["${line:66} ${line:0:64}"]=1
done < <(sound "$top/data/demo-shipped.sums")

if [ "$afresh" = 1 ]; then
  echo "zarn: copying the demo set afresh to $dir" >&2
else
  echo "zarn: copying the demo set to $dir" >&2
fi

# The sums of the folder's plain files at the set's places (never through a link).
declare -A now=()
while IFS= read -r line; do
  now[${line:66}]=${line:0:64}
done < <(cd "$dir" && for rel in "${!from[@]}"; do
  [ -f "$rel" ] && [ ! -L "$rel" ] && printf '%s\0' "$rel"
done | xargs -0 -r sha256sum || true)

declare -A blocked=()
declare -A batch=()  # folder -> the files to copy there, a line each
mapfile -t rels < <(printf '%s\n' "${!from[@]}" | LC_ALL=C sort)
for rel in "${rels[@]}"; do
  name=${rel#./}
  path=$dir/$rel
  blocker "$rel"
  if [ -n "$b" ]; then
    [ -z "${blocked[$b]:-}" ] && echo "zarn: keeping $b as you made it, where the demo has a folder" >&2
    blocked[$b]=1
    continue
  fi
  have=${now[$rel]:-}
  if [ -L "$path" ] || { [ -e "$path" ] && [ ! -f "$path" ]; }; then
    if [ -L "$path" ]; then what="a link"; elif [ -d "$path" ]; then what="a folder"; else what="a special file"; fi
    echo "zarn: keeping $name as you made it, $what where the demo has a file" >&2
    continue
  fi
  if [ -e "$path" ] && [ -z "$have" ]; then
    echo "zarn: keeping $name, which could not be read" >&2
    continue
  fi
  [ -n "$have" ] && [ "$have" = "${sums[$rel]}" ] && continue
  if [ -n "$have" ]; then
    theirs=0
    [ "$have" = "${copied[$rel]:-}" ] || [ -n "${shipped["${src[$rel]} $have"]:-}" ] && theirs=1
    if [ "$afresh" = 0 ] && [ "$theirs" = 0 ]; then
      echo "zarn: keeping $name as you changed it (scripts/start.sh --afresh puts the demo's back)" >&2
      continue
    fi
    echo "zarn: replacing $name with the demo's" >&2
  fi
  batch[${rel%/*}]+=${from[$rel]}$'\n'
done
# Copied folder by folder into a folder of its own beside the files' places, then renamed into
# them; only to places found free or plain files. When the copy fails, what it finished goes in.
# Not done until all of it is in: until then each start tries again.
failed=0
if [ "${#batch[@]}" != 0 ] && [ -f "$dir/.demo-set" ] && [ ! -L "$dir/.demo-set" ]; then
  rm -f -- "$dir/.demo-set"
fi
for d in "${!batch[@]}"; do
  mapfile -t srcs < <(printf '%s' "${batch[$d]}")
  ok=0
  if mkdir -p -- "$dir/$d" && stage=$(mktemp -d "$dir/$d/.demo-copy.XXXXXX"); then
    tmps+=("$stage")
    # In the background, so that a signal is taken at once rather than at the end of a large file.
    cp -t "$stage" -- "${srcs[@]}" &
    copying=$!
    wait "$copying" && ok=1
    copying=
    if [ "$ok" = 0 ]; then
      while IFS= read -r line; do
        [ "${line:0:64}" = "${sums[$d/${line:68}]:-}" ] || rm -f -- "$stage/${line:68}"
      done < <(cd "$stage" && find . -maxdepth 1 -type f -print0 | xargs -0 -r sha256sum)
    fi
    staged=("$stage"/*)
    [ "${#staged[@]}" = 0 ] || mv -f -t "$dir/$d" -- "${staged[@]}" || ok=0
    rm -rf -- "$stage"
  fi
  [ "$ok" = 1 ] && continue
  failed=1
  echo "zarn: not all of the demo's files could be copied to $dir/${d#./}; the rest are copied at the next start" >&2
done

# The lists are ours alone: written whole or not at all, and never into a folder of their name.
# False, with the reason in `why`, when one could not be written (a full disk).
keep() {
  local tmp err
  if ! tmp=$(mktemp "$dir/$1.XXXXXX" 2>&1); then
    why=${tmp##*: }
    return 1
  fi
  tmps+=("$tmp")
  if ! err=$({ printf '%s\n' "$2" > "$tmp"; } 2>&1); then
    rm -f -- "$tmp"
    why=${err##*: }
    return 1
  fi
  if ! mv -fT -- "$tmp" "$dir/$1" 2>/dev/null; then
    rm -f -- "$tmp"
    echo "zarn: $1 in $dir is not a file; what was copied in is not noted" >&2
  fi
}
why=
if ! keep .demo-files "$list" || { [ "$failed" = 0 ] && ! keep .demo-set "$stamp"; }; then
  echo "zarn: the lists of what was copied to $dir could not be updated ($why); the next start tries again" >&2
fi
