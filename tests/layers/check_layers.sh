#!/bin/sh
# Fails when a file of one engine layer includes a header of a layer above it, or of
# another top-level folder of the tree (the programs, the Qt code, the tests). The
# layers, bottom up:  imaging < codecs < platform < engine
# Usage: check_layers.sh SOURCE_ROOT
set -u
root=${1:?usage: check_layers.sh SOURCE_ROOT}
layers="imaging codecs platform engine"
folders=$(cd "$root" && for d in */; do printf '%s ' "${d%/}"; done)

# Prints "file:line: layer includes target" for each include of layer $1 that reaches
# outside the layers in $2 (its own and those below).
upward_includes() {
  layer=$1 allowed=$2
  for file in "$root/$layer"/*.h "$root/$layer"/*.cpp; do
    [ -f "$file" ] || continue
    grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]*/' "$file" |
      sed 's/^\([0-9]*\):[^"<]*["<]\([^">]*\)[">].*/\1 \2/' |
      while read -r line target; do
        first=${target%%/*}
        case " $allowed " in *" $first "*) continue ;; esac
        case " $folders .. " in *" $first "*) ;; *) continue ;; esac
        echo "${file#"$root"/}:$line: $layer includes $target"
      done
  done
}

found=""
allowed=""
for layer in $layers; do
  allowed="$allowed $layer"
  [ -d "$root/$layer" ] || continue
  out=$(upward_includes "$layer" "$allowed")
  [ -z "$out" ] || found="$found$out
"
done
if [ -n "$found" ]; then
  printf '%s' "$found"
  exit 1
fi
echo "no include points up across: $layers"
