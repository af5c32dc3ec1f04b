#!/bin/sh
# Fails when the button library defines a class of the control library itself instead
# of using palvo's: every class declared in controls/*.h must have its members, vtable
# and type information exported by palvo alone.
# Usage: one_definition.sh CONTROLS_FOLDER LIBPALVO LIBTESSIL
set -u
controls=${1:?} palvo=${2:?} tessil=${3:?}
classes=$(sed -n 's/^\(class\|struct\) \([A-Za-z_][A-Za-z0-9_]*\)\( final\)\?\( :.*\)\? {.*/\2/p' \
  "$controls"/*.h | sort -u)
[ -n "$classes" ] || { echo "no classes found in $controls"; exit 1; }

defined() { nm -D --defined-only -C "$1" | sed 's/^[0-9a-f]* [A-Za-z] //'; }
tessil_symbols=$(defined "$tessil") || exit 1
palvo_symbols=$(defined "$palvo") || exit 1

status=0
for class in $classes; do
  pattern="^\(\(vtable\|typeinfo\|typeinfo name\) for \)\?$class\(::\|$\)"
  twice=$(printf '%s\n' "$tessil_symbols" | grep -e "$pattern")
  if [ -n "$twice" ]; then
    echo "$class is defined in $(basename "$tessil") too:"
    printf '%s\n' "$twice" | sed 's/^/  /'
    status=1
  fi
done
# The check must see the control library's own definitions, or it proves nothing.
printf '%s\n' "$palvo_symbols" | grep -q '^vtable for VkControl$' ||
  { echo "palvo exports no VkControl: wrong library?"; status=1; }
[ $status -eq 0 ] && echo "every control class is defined in $(basename "$palvo") alone"
exit $status
