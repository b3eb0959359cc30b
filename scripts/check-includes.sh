#!/usr/bin/env bash
# Checks that includes in src/ only run downward through the rooms:
#   runtime < files, registry, schedule < engine, ui < backup, restore < app
# and inside the engine, through its own rooms:
#   engine/game < engine/input < engine/sets < engine/staging < engine/journal < engine/jobs
# A file may include its own room and any room below; the restore side may also use
# backup/clsTrnwck.h and backup/JobWizard.h. Prints each include that runs upward or
# sideways and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../src"

rank() {
  case "$1" in
    runtime) echo 0 ;; files|registry|schedule) echo 1 ;; engine|ui) echo 2 ;;
    backup|restore) echo 3 ;; app) echo 4 ;; *) echo -1 ;;
  esac
}

engine_rank() {
  case "$1" in
    game) echo 0 ;; input) echo 1 ;; sets) echo 2 ;; staging) echo 3 ;; journal) echo 4 ;; jobs) echo 5 ;;
    *) echo -1 ;;
  esac
}

bad=0
complain() {
  echo "$1"
  bad=1
}
while IFS=: read -r file _ line; do
  target="$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")"
  [[ "$target" == */* ]] || continue
  from="${file%%/*}" to="${target%%/*}"
  if [ "$from" = engine ] && [ "$to" = engine ]; then
    from_room="$(cut -d/ -f2 <<<"$file")" to_room="$(cut -d/ -f2 <<<"$target")"
    [ "$(engine_rank "$from_room")" -ge 0 ] || complain "a file outside the engine's rooms: $file"
    [ "$(engine_rank "$to_room")" -ge 0 ] || complain "an include outside the engine's rooms: $file -> $target"
    [ "$(engine_rank "$to_room")" -le "$(engine_rank "$from_room")" ] ||
      complain "upward include inside the engine: $file -> $target"
    continue
  fi
  [ "$from" = "$to" ] && continue
  case "$from:$target" in restore:backup/clsTrnwck.h|restore:backup/JobWizard.h) continue ;; esac
  if [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
    complain "upward or sideways include: $file -> $target"
  fi
done < <(grep -rn '#include "' --include='*.h' --include='*.cpp' .  | sed 's|^\./||')
# No circle between modules either (a module: X.h with X.cpp), also inside one room.
edges="$(grep -rn '#include "' --include='*.h' --include='*.cpp' . | sed 's|^\./||' |
  sed -E 's/^([^:]+)\.(h|cpp):[0-9]+:#include "([^"]+)\.h".*/\1 \3/' | awk '$1 != $2 && $2 ~ /\//')"
if ! loops="$(tsort <<<"$edges" 2>&1 >/dev/null)" || [ -n "$loops" ]; then
  complain "a circle of includes: $(tr '\n' ' ' <<<"$loops")"
fi
[ "$bad" -eq 0 ] && echo "includes run downward only, with no circle"
exit "$bad"
