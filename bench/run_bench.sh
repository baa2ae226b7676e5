#!/usr/bin/env bash
# Runs the benchmarks on grown demo extracts: bench/run_bench.sh BUILD_DIR [bench_all.py options]
# (default: 1 000 and 10 000 vehicles with the image server unreachable, 1 000 again with it answering,
# 100 000 for AUTOSCOUT24 and LEBONCOIN; a shorter run: BENCH_ARGS="--sizes 1000 --no-large").
# The table of docs/performance.md is rewritten by: make bench
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-build}" && pwd)"
shift || true
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$here/make_extract.py" 10000 "$work/extract.xml"
echo "== cursor over 10000 vehicles"
"$build/bench/bench_cursor" "$work/extract.xml"
echo "== every export"
/usr/bin/python3 "$here/bench_all.py" "$build" --markdown "$here/../docs/performance.md" "$@"
