#!/usr/bin/env bash
# Runs the benchmarks on synthetic extracts: bench/run_bench.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for vehicles in 1000 10000; do
  python3 "$here/make_extract.py" "$vehicles" "$work/extract$vehicles.xml"
  "$build/bench/bench_cursor" "$work/extract$vehicles.xml"
done
