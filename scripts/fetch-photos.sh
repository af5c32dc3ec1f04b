#!/usr/bin/env bash
# Fetches the free sample photographs that Debian ships with scikit-image (BSD
# licence) into a folder for bench_photo_reduction, without installing anything:
#   scripts/fetch-photos.sh [FOLDER]          (default: build/photos)
#   ZORIX_PHOTOS=FOLDER build/bin/bench_photo_reduction
# The photographs are not kept in the repository.
set -euo pipefail
dest=$(realpath -m "${1:-build/photos}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$dest"
(cd "$work" && apt-get download python3-skimage >/dev/null)
dpkg-deb -x "$work"/python3-skimage_*.deb "$work/x"
data=$(find "$work/x" -type d -path '*skimage/data' | head -n 1)
for name in astronaut.png chelsea.png coffee.png motorcycle_left.png rocket.jpg \
            hubble_deep_field.jpg retina.jpg ihc.png; do
  cp "$data/$name" "$dest/"
done
echo "$dest"
