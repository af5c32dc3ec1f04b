#!/usr/bin/env bash
# Writes small valid inputs into each fuzz target's corpus folder, so the fuzzers
# start past the format signatures. Usage: fuzz/seeds.sh CORPUS_ROOT
set -euo pipefail
root=$1
seed() { mkdir -p "$root/$1"; printf "$3" > "$root/$1/$2"; }

# 4 x 2 device bitmap with alpha: a transparent run, then a colour run and a base marker.
seed rle_decoder alpha.bmp 'RL\x01\x00\x04\x00\x02\x00\x03\x00\x02\x00\x1f\xf8\x00\xf8\xe0\x07\x00\x10\x20\x02\x07\xff\x04\xfe\x01\x02\xfd\x01\x00\x01\x02'
# 3 x 1 without alpha, long row length record.
seed rle_decoder opaque.bmp 'RL\x00\x00\x03\x00\x01\x00\x02\x00\x01\x00\x1f\xf8\x1f\x00\xff\x00\x03\x01\x00\x01'
