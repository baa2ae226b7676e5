#!/bin/sh
# Builds the libFuzzer programs in build-fuzz (clang) and runs each for N
# seconds (default 60), growing its corpus in fuzz/corpus/<target>/. A crash
# input is written to fuzz/crashes/<target>/; the figures of each run are
# printed at its end (executions, corpus size).
#   fuzz/run_fuzz.sh [SECONDS] [TARGET...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"xml_cursor settings conversions"}
build="$root/build-fuzz"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CXX=clang++ cmake -S "$root" -B "$build" -DTARVELON_FUZZ=ON -DTARVELON_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
for target in $targets; do
  cmake --build "$build" -j2 --target "${target}_fuzzer"
done
for target in $targets; do
  corpus="$root/fuzz/corpus/$target"
  crashes="$root/fuzz/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  echo "== $target: $seconds s"
  # The merge keeps the corpus small: only inputs that add coverage stay.
  scratch=$(mktemp -d)
  "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 \
    -artifact_prefix="$crashes/" -print_final_stats=1 "$scratch" "$corpus" 2>&1 | tail -n 12
  "$build/fuzz/${target}_fuzzer" -merge=1 "$corpus" "$scratch" >/dev/null 2>&1 || true
  rm -rf "$scratch"
  echo "corpus $target: $(ls "$corpus" | wc -l) files"
done
