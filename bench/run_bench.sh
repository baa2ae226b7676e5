#!/usr/bin/env bash
# Runs the benchmarks on grown demo extracts: bench/run_bench.sh BUILD_DIR [bench_all.py options]
# e.g. --sizes 1000,10000 (long), --large (adds 100 000 vehicles), --no-image-server. The table of
# docs/performance.md is rewritten by: make bench  (BENCH_ARGS="--sizes 1000,10000" for the long run)
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
