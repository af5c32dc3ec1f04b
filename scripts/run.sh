#!/usr/bin/env bash
# `make run`: makes the sample device bitmaps and starts the program in their folder
# (opened through the folder argument, so every start shows them).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
samples="$build/sample-bitmaps"  # apart from the build files of samples/
"$build/bin/zorix-make-samples" "$samples"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "zorix: no display available (set DISPLAY, or run under xvfb-run: xvfb-run make run)" >&2
  exit 1
fi
cd "$samples"
exec "$build/bin/zorix" "$samples"
