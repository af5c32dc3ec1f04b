#!/bin/sh
# Runs the layer check over small scratch trees: each planted include must be caught
# (or, for the allowed ones, pass), so the check itself cannot silently pass everything.
# Usage: check_layers_cases.sh CHECK_SCRIPT SCRATCH_FOLDER
set -u
check=${1:?} scratch=${2:?}
failures=0

# expect RESULT FOLDER INCLUDE: plants `#include INCLUDE` in FOLDER/Planted.cpp.
expect() {
  want=$1 folder=$2 include=$3
  rm -rf "$scratch" && mkdir -p "$scratch/imaging" "$scratch/codecs" "$scratch/platform" \
    "$scratch/engine" "$scratch/app" "$scratch/$folder"
  printf '#include <vector>\n#include "imaging/ByteOrder.h"\n#include %s\n' "$include" \
    > "$scratch/$folder/Planted.cpp"
  if sh "$check" "$scratch" >/dev/null; then got=pass; else got=fail; fi
  if [ "$got" != "$want" ]; then
    echo "$folder including $include: expected $want, got $got"
    failures=$((failures + 1))
  fi
}

expect fail imaging '"codecs/ReaderChain.h"'
expect fail codecs '"platform/FileIO.h"'
expect fail codecs '"engine/ZorixImgEngine.h"'
expect fail codecs '<engine/ZorixImgEngine.h>'
expect fail platform '"engine/BatchRules.h"'
expect fail engine '"app/mainForm.h"'
expect fail codecs '  "../engine/RLEFile.h"'
expect pass codecs '"imaging/c32bppDIB.h"'
expect pass platform '"codecs/BitmapWriter.h"'
expect pass engine '"platform/FileIO.h"'
expect pass engine '<sys/stat.h>'
rm -rf "$scratch"
[ $failures -eq 0 ] && echo "layer check: every case as expected"
exit $failures
