#!/usr/bin/env bash
# `make run`: the program's main job. Until the window program exists it makes the
# sample device bitmaps and describes them with zorix-cli.
set -euo pipefail
build=${1:-build}
samples="$build/samples"
"$build/bin/zorix-make-samples" "$samples"
echo "Sample device bitmaps in $samples:"
"$build/bin/zorix-cli" info "$samples"/*.bmp
