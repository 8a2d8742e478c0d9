#!/usr/bin/env bash
# Sets up, builds and runs every test: the plain build, a build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the parsers' fuzz targets for a bounded time.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
fuzzsecs=${ZARN_FUZZ_SECONDS:-60}

"$top/scripts/setup.sh" run test
export QT_QPA_PLATFORM=offscreen
# Any sanitizer report ends the run that made it, the fuzz runs as well as the tests.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$top/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== plain build"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARN_TESTS=ON -DZARN_BENCH=ON
echo "== sanitized build"
"$top/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DZARN_SANITIZE=ON -DZARN_TESTS=ON -DZARN_BENCH=OFF

if ls "$top"/fuzz/*.cpp >/dev/null 2>&1; then
  echo "== fuzz targets, ${fuzzsecs} s each"
  "$top/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZARN_FUZZ=ON -DZARN_TESTS=OFF -DZARN_BENCH=OFF
  mkdir -p "$top/build-fuzz/logs"
  "$top/fuzz/make_seeds.sh" "$top/build-fuzz/seeds"
  for f in "$top"/build-fuzz/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus="$top/build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="$top/build-fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] || seeds=""
    log="$top/build-fuzz/logs/$name.log"
    # The targets' own output is dropped (-close_fd_mask); sanitizer reports still reach the log.
    status=0
    # shellcheck disable=SC2086
    "$f" -max_total_time="$fuzzsecs" -close_fd_mask=3 -artifact_prefix="$top/build-fuzz/logs/$name-" \
      "$corpus" $seeds >"$log" 2>&1 || status=$?
    if [ "$status" -eq 0 ] && ! grep -q -E 'runtime error:|ERROR: (Address|UndefinedBehavior|Leak)Sanitizer' "$log"; then
      echo "$name: $(grep -E '^Done [0-9]+ runs' "$log" || tail -n 1 "$log")"
    else
      tail -n 60 "$log"
      echo "$name failed (exit status $status); the input that made the report is named above" >&2
      exit 1
    fi
  done
fi

# The tests that run the program on a virtual display each start a display server, a window
# manager and the program, and read the screen back: they run a few at a time, after the rest.
desktop='^(Tiled)?Desktop\.'
for tree in build-asan build; do
  echo "== tests ($tree)"
  ctest --test-dir "$top/$tree" -j "$jobs" -E "$desktop" --output-on-failure --timeout 600 --no-tests=error
  ctest --test-dir "$top/$tree" -j 3 -R "$desktop" --output-on-failure --timeout 600 --no-tests=error
done
