#!/bin/sh
# Builds the libFuzzer programs in build-fuzz (clang) and runs each until it
# has used N CPU-seconds (default 60), growing its corpus in
# fuzz/corpus/<target>/. A crash input is written to fuzz/crashes/<target>/.
# The figures of each target (executions, CPU seconds, corpus size, crash
# files) replace its line in fuzz/figures.tsv, which docs/reliability.md shows.
#   fuzz/run_fuzz.sh [CPU_SECONDS] [TARGET...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"xml_cursor settings conversions"}
build="$root/build-fuzz"
figures="$root/fuzz/figures.tsv"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTARVELON_FUZZ=ON -DTARVELON_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
for target in $targets; do
  cmake --build "$build" -j2 --target "${target}_fuzzer"
done
[ -f "$figures" ] || printf 'target\texecutions\tcpu_seconds\tcorpus_files\tcrashes\tdate\n' >"$figures"
for target in $targets; do
  corpus="$root/fuzz/corpus/$target"
  crashes="$root/fuzz/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  echo "== $target: $seconds CPU-seconds"
  scratch=$(mktemp -d)
  executions=0
  cpu=0
  # libFuzzer bounds wall time only; on a shared machine a run gets less CPU
  # than wall time, so it runs again for what is still missing.
  while [ "$cpu" -lt "$seconds" ]; do
    left=$((seconds - cpu))
    log=$(mktemp)
    /usr/bin/time -f 'cpu %U %S' -o "$log.time" \
      "$build/fuzz/${target}_fuzzer" -max_total_time="$left" -max_len=4096 -rss_limit_mb=1024 \
      -timeout=10 -artifact_prefix="$crashes/" -print_final_stats=1 "$scratch" "$corpus" >"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    used=$(awk '/^cpu/ { printf "%d", $2 + $3 + 0.5 }' "$log.time")
    tail -n 4 "$log"
    rm -f "$log" "$log.time"
    executions=$((executions + ${runs:-0}))
    cpu=$((cpu + ${used:-0}))
    [ "${used:-0}" -gt 0 ] || break
  done
  # The merge keeps the corpus small: only inputs that add coverage stay.
  "$build/fuzz/${target}_fuzzer" -merge=1 "$corpus" "$scratch" >/dev/null 2>&1 || true
  rm -rf "$scratch"
  files=$(ls "$corpus" | wc -l)
  found=$(ls "$crashes" | wc -l)
  grep -v "^$target	" "$figures" >"$figures.new" || true
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$target" "$executions" "$cpu" "$files" "$found" "$(date +%F)" >>"$figures.new"
  mv "$figures.new" "$figures"
  echo "$target: $executions executions, $cpu CPU-seconds, corpus $files files, $found crash files"
done
