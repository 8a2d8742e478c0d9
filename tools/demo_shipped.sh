#!/usr/bin/env bash
# Keeps data/demo-shipped.sums: the sha256 sum of every version of every file the demo set
# (data/demo) has shipped, one "SUM  ./PATH" a line, sorted. scripts/demofolder.sh takes a file
# of a demo folder whose sum is listed for its place as the set's, and any other as the user's.
#   tools/demo_shipped.sh            adds the set as it is now (run it with every change to data/demo)
#   tools/demo_shipped.sh --history  adds every version in the git history as well
#   tools/demo_shipped.sh --check    fails, naming them, when files of the set are not listed
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
list=$top/data/demo-shipped.sums
set_=$top/data/demo
now() { (cd "$set_" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum); }
case "${1:-}" in
  --check)
    missing=$(now | LC_ALL=C sort | LC_ALL=C comm -23 - <(tr -d '\r' < "$list" 2>/dev/null | LC_ALL=C sort) | cut -c67-)
    if [ -n "$missing" ]; then
      echo "not in data/demo-shipped.sums (run tools/demo_shipped.sh):" >&2
      echo "$missing" >&2
      exit 1
    fi
    exit 0
    ;;
  --history)
    history() {
      cd "$top"
      git log --format=%H -- data/demo | while read -r commit; do
        git ls-tree -r "$commit" -- data/demo
      done | awk -F'\t' '{ split($1, f, " "); print f[3] "\t" $2 }' | LC_ALL=C sort -u |
        while IFS=$'\t' read -r blob path; do
          printf '%s  ./%s\n' "$(git cat-file blob "$blob" | sha256sum | cut -d' ' -f1)" "${path#data/demo/}"
        done
    }
    ;;
  "") history() { :; } ;;
  *)
    echo "usage: tools/demo_shipped.sh [--history|--check]" >&2
    exit 2
    ;;
esac
new=$(mktemp "$list.XXXXXX")
trap 'rm -f "$new"' EXIT
{ [ -f "$list" ] && tr -d '\r' < "$list"; history; now; } | LC_ALL=C sort -u > "$new"
chmod 0644 "$new"
mv "$new" "$list"
