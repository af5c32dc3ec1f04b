#!/bin/sh
# Run by hand: ./bench/jobs_and_memory.sh [build dir]. Prints the wall time of
# `zorix-cli convert -j 1` against `-j 2` over 16 device bitmaps of 1024 x 768 (and
# checks that both runs wrote the same files), and the peak memory of converting one
# 16384 x 16384 device bitmap to a 24-bit BMP against the image buffer plus the file.
set -eu
build=${1:-build}
cli=$(cd "$build" && pwd)/bin/zorix-cli
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zorix-jobs.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Device bitmaps written byte by byte: about 200 colours in runs of 1 to 12 pixels.
make_rle() {  # width height seed path
    python3 - "$@" <<'PY'
import random, struct, sys
w, h, seed, path = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
rnd = random.Random(seed)
colours = [rnd.randrange(1, 65536) for _ in range(200)]
def row():
    out, x = bytearray(), 0
    while x < w:
        n = min(rnd.randint(1, 12), w - x, 255)
        code = 0 if rnd.random() < 0.1 else rnd.randint(1, 200)
        if n < 4:
            out += bytes([code]) * n
        elif code:
            out += bytes([0xFE, code, n])
        else:
            out += bytes([0xFF, n])
        x += n
    return bytes(out)
# Big pictures repeat a few rows, so making them stays quick.
pool = [row() for _ in range(min(h, 64))]
rows = [pool[rnd.randrange(len(pool))] for _ in range(h)]
with open(path, 'wb') as f:
    f.write(struct.pack('<7H', 0x4C52, 0, w, h, len(colours) + 1, h, 0xF81F))
    f.write(struct.pack('<%dH' % len(colours), *colours))
    for r in rows:
        f.write(bytes([len(r)]) if len(r) < 255 else struct.pack('>BH', 0xFF, len(r)))
    for r in rows:
        f.write(r)
PY
}

seconds() {  # command...: wall time in seconds
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

mkdir -p "$scratch/in" "$scratch/j1" "$scratch/j2"
i=1
while [ $i -le 16 ]; do
    make_rle 1024 768 $i "$scratch/in/map$i.bmp"
    i=$((i + 1))
done
for format in png bmp24; do
    one=$(seconds "$cli" convert --quiet --to $format -j 1 -d "$scratch/j1" --overwrite "$scratch"/in/*.bmp)
    two=$(seconds "$cli" convert --quiet --to $format -j 2 -d "$scratch/j2" --overwrite "$scratch"/in/*.bmp)
    if diff -r "$scratch/j1" "$scratch/j2" >/dev/null; then same=identical; else same=DIFFERENT; fi
    written=$(ls "$scratch/j1" | grep -c "\.$(echo $format | tr -d 24)\$" || true)
    echo "convert 16 x 1024x768 to $format: -j 1 ${one} s, -j 2 ${two} s," \
        "speed-up $(echo "scale=2; $one / $two" | bc), $written files $same"
done

make_rle 16384 16384 99 "$scratch/big.bmp"
/usr/bin/time -f %M -o "$scratch/rss" \
    "$cli" convert --quiet --to bmp24 -o "$scratch/big24.bmp" "$scratch/big.bmp" >/dev/null
peak=$(($(cat "$scratch/rss") * 1024))
buffer=$((16384 * 16384 * 4))
file=$(stat -c %s "$scratch/big24.bmp")
echo "16384x16384 to bmp24: peak RSS $((peak >> 20)) MiB, buffer $((buffer >> 20)) MiB +" \
    "file $((file >> 20)) MiB, ratio $(echo "scale=3; $peak / ($buffer + $file)" | bc)"
