#!/usr/bin/env bash
# `make run`: makes the sample device bitmaps and starts the program in their folder
# (a first start opens the current folder; later starts open the last folder used).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
samples="$build/samples"
"$build/bin/zorix-make-samples" "$samples"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "zorix: no display available (set DISPLAY, or run under xvfb-run: xvfb-run make run)" >&2
  exit 1
fi
cd "$samples"
exec "$build/bin/zorix"
