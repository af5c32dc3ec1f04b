#!/usr/bin/env bash
# Runs each fuzz target for SECONDS on one core, starting from its kept corpus in
# fuzz/corpus/<target>/ (plus the written seeds), then merges what it found back into
# that folder, minimised, so the next run starts where this one ended. Prints each
# target's runs and findings. A finding's input is copied to
# tests/data/fuzz-findings/<target>/, where the test suite replays it (so it stays a
# failing regression test until fixed), and makes the script fail. Usage: scripts/fuzz-long.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-600}
shift 2 || true
root=$(cd "$(dirname "$0")/.." && pwd)
kept="$root/fuzz/corpus"
work="$build/fuzz-long"
seeds="$work/seeds"
rm -rf "$work"
mkdir -p "$work" "$build/findings"
"$root/fuzz/seeds.sh" "$seeds"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/bin/fuzz_*; do [ -x "$exe" ] && targets+=("$(basename "$exe")"); done
fi

status=0
printf '%-22s %12s %10s %8s  %s\n' target runs runs/s findings corpus
for name in "${targets[@]}"; do
  short=${name#fuzz_}
  exe="$build/bin/$name"
  live="$work/$short"
  found="$build/findings/$short/"
  rm -rf "$found"
  mkdir -p "$live" "$kept/$short" "$found" "$seeds/$short"
  log="$work/$short.log"
  # The live folder gets the new inputs; the kept corpus and the seeds are read only.
  set +e
  # The timeout is wall-clock time: on a loaded machine a unit of a few seconds can
  # stall for tens, and only a hang should count.
  "$exe" -max_total_time="$seconds" -rss_limit_mb=3072 -timeout=120 -print_final_stats=1 \
    -artifact_prefix="$found" "$live" "$kept/$short" "$seeds/$short" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  # Slow units are reported by libFuzzer too; only these kinds are findings.
  findings=$(find "$found" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
    -o -name 'timeout-*' -o -name 'oom-*' -o -name 'death-*' \) | wc -l)
  [ $rc -ne 0 ] && [ "$findings" -eq 0 ] && findings=1
  # Minimise: keep only inputs that add coverage, from the old corpus and the new finds.
  merged="$work/$short.merged"
  mkdir -p "$merged"
  "$exe" -merge=1 -rss_limit_mb=3072 -timeout=120 -artifact_prefix="$found" "$merged" "$kept/$short" "$live" \
    >"$work/$short.merge.log" 2>&1 || true
  if [ -n "$(ls -A "$merged")" ]; then
    rm -rf "${kept:?}/$short"
    mv "$merged" "$kept/$short"
  fi
  size=$(( $(cat "$kept/$short"/* 2>/dev/null | wc -c) / 1024 ))
  printf '%-22s %12s %10s %8s  %s files, %s KB\n' "$name" "${runs:-0}" "${speed:-0}" \
    "$findings" "$(ls "$kept/$short" | wc -l)" "$size"
  if [ $rc -ne 0 ]; then
    status=1
    mkdir -p "$root/tests/data/fuzz-findings/$short"
    for kind in crash leak timeout oom death; do
      cp "$found$kind"-* "$root/tests/data/fuzz-findings/$short/" 2>/dev/null || true
    done
    echo "  finding kept in tests/data/fuzz-findings/$short/ (log: $log):"
    grep -m 5 -E 'ERROR|SUMMARY|Test unit written' "$log" | sed 's/^/    /'
  fi
done
exit $status
