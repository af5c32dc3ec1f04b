#!/usr/bin/env bash
# Runs every benchmark program of the build.
set -euo pipefail
build=${1:-build}
# The photo benchmark reads the photographs scripts/fetch-photos.sh fetches.
if [ -z "${ZORIX_PHOTOS:-}" ] && [ -d "$build/photos" ]; then
  export ZORIX_PHOTOS="$build/photos"
fi
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
