#!/usr/bin/env bash
# Runs every fuzz target for a short time; any crash fails the run. Each target starts
# from the written seeds and the corpus kept in fuzz/corpus/<target>/ (read only here;
# make fuzz-long adds to it).
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-20}
corpus_root="$build/fuzz-corpus"
status=0
fuzz/seeds.sh "$corpus_root"
for target in "$build"/bin/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$corpus_root/${name#fuzz_}"
  kept="fuzz/corpus/${name#fuzz_}"
  mkdir -p "$corpus"
  inputs=("$corpus")
  [ -d "$kept" ] && inputs+=("$kept")
  echo "fuzz-smoke: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=3072 -timeout=10 \
        -print_final_stats=0 "${inputs[@]}" >"$build/$name.log" 2>&1; then
    echo "fuzz-smoke: $name FAILED"; tail -40 "$build/$name.log"; status=1
  fi
done
exit $status
