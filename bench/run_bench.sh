#!/usr/bin/env bash
# Runs the benchmarks on synthetic extracts: bench/run_bench.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for vehicles in 1000 10000; do
  echo "== $vehicles vehicles, 10 photos each"
  python3 "$here/make_extract.py" "$vehicles" "$work/extract$vehicles.xml"
  "$build/bench/bench_cursor" "$work/extract$vehicles.xml"
  python3 "$here/bench_export.py" "$build/tarvelon" "$work/extract$vehicles.xml" "$work/export$vehicles"
  rm -rf "$work/export$vehicles"
done
