#!/usr/bin/env bash
# Writes the fuzz targets' seed inputs into DIR/<target>, afresh: fuzz/make_seeds.sh DIR
# fuzz/seeds/README.md says where each seed comes from.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$1
rm -rf "$out"
mkdir -p "$out/nmea" "$out/tracklines" "$out/startupfiles" "$out/postext" "$out/linkintake" "$out/datatrak" "$out/guidance" \
  "$out/searchfiles"

byte() { printf "\\$(printf %03o "$1")"; }
le16() { byte $(($1 & 0xFF)); byte $((($1 >> 8) & 0xFF)); }

# nmea: each recorded log (in the order the tests read them) becomes one seed: a settings byte,
# then the log's first 2 KB. Log i gets the byte 37 i mod 256, so the bytes differ and every
# setting is both on and off across the logs.
logs=()
while IFS= read -r f; do logs+=("$f"); done < <(find "$top/tests/data/nmea/gpsd" -name '*.log' | LC_ALL=C sort)
logs+=("$top/tests/data/nmea/drive/cheshire-2020-10-26.nmea")
i=0
for f in "${logs[@]}"; do
  name=$(basename "$f")
  { byte $((37 * i % 256)); head -c 2048 "$f"; } >"$out/nmea/log-${name%.*}"
  i=$((i + 1))
done
# The hand-written lines: the name starts with the settings byte in hex.
for target in nmea linkintake datatrak; do
  for f in "$top"/fuzz/seeds/$target/*; do
    name=$(basename "$f")
    { byte $((16#${name:0:2})); cat "$f"; } >"$out/$target/$name"
  done
done

# tracklines, postext and guidance: taken as they are.
cp "$top"/fuzz/seeds/tracklines/* "$out/tracklines/"
cp "$top"/fuzz/seeds/postext/* "$out/postext/"
cp "$top"/fuzz/seeds/guidance/* "$out/guidance/"

# startupfiles: the first byte picks the file from the target's own list, so the list is read
# from its source. Each file is written twice: with its number, and with the first number at or
# above 128 that picks it too (ZARN.COM's reader takes the high bit as a setting). The contents
# are the demo set's own file, else a hand-made one, else (the binary $LPOP.PCD) made here.
pcd() {
  le16 2; le16 1                       # two centres, one area
  le16 28000; le16 26000; le16 -40; le16 20
  head -c 8 /dev/zero                  # name offsets
  head -c 2704 /dev/zero               # letter table
  local area="CHESHIRE" c k
  for ((k = 0; k < 32; k++)); do       # stored as 250 - character, blank-filled
    c=${area:k:1}
    byte $((250 - $(printf %d "'${c:- }")))
  done
}
mapfile -t files < <(sed -n '/files\[\] = {/,/};/p' "$top/fuzz/startupfiles.cpp" | grep -o '"[^"]*"' | tr -d '"')
n=${#files[@]}
for ((i = 0; i < n; i++)); do
  name=${files[i]}
  high=$((i + n * ((128 - i + n - 1) / n)))
  for b in "$i" "$high"; do
    seed="$out/startupfiles/$(printf %03d "$b")-$name"
    if [ -f "$top/data/demo/$name" ]; then
      { byte "$b"; cat "$top/data/demo/$name"; } >"$seed"
    elif [ -f "$top/fuzz/seeds/startupfiles/$name" ]; then
      { byte "$b"; cat "$top/fuzz/seeds/startupfiles/$name"; } >"$seed"
    elif [ "$name" = "\$LPOP.PCD" ]; then
      { byte "$b"; pcd; } >"$seed"
    else
      echo "make_seeds.sh: no seed for $name" >&2
      exit 1
    fi
  done
done

# searchfiles: the demo's town lists cut to their first towns (the text list and the binary one,
# as tools/make_demo_lists.py writes them), each after every typed-text byte of the target.
towns=$(mktemp -d)
python3 "$top/tools/make_demo_lists.py" "$towns" --first 12 >/dev/null
for b in 0 1 2 3 4 5; do
  for f in TOWNS.GED TOWNS.GTX; do
    { byte "$b"; cat "$towns/$f"; } >"$out/searchfiles/$b-$f"
  done
done
rm -rf "$towns"
