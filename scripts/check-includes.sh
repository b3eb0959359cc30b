#!/usr/bin/env bash
# Checks that includes in src/ only run downward through the rooms:
#   runtime < files, registry, schedule < engine, ui < backup, restore < app
# A file may include its own room and any room below; the restore side may also use
# backup/clsTrnwck.h and backup/JobWizard.h. Prints each include that runs upward and
# exits 1 when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../src"

rank() {
  case "$1" in
    runtime) echo 0 ;; files|registry|schedule) echo 1 ;; engine|ui) echo 2 ;;
    backup|restore) echo 3 ;; app) echo 4 ;; *) echo -1 ;;
  esac
}

bad=0
while IFS=: read -r file _ line; do
  target="$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")"
  [[ "$target" == */* ]] || continue
  from="${file%%/*}" to="${target%%/*}"
  [ "$from" = "$to" ] && continue
  case "$from:$target" in restore:backup/clsTrnwck.h|restore:backup/JobWizard.h) continue ;; esac
  if [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
    echo "upward or sideways include: $file -> $target"
    bad=1
  fi
done < <(grep -rn '#include "' --include='*.h' --include='*.cpp' .  | sed 's|^\./||')
[ "$bad" -eq 0 ] && echo "includes run downward only"
exit "$bad"
