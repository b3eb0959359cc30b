#!/usr/bin/env bash
# Usage: seed-game.sh PREFIX
# Puts the sample game data (scripts/sample-game: saves, maps, scores with nested files, and
# tarnwick.cfg) into the game folder "C:\Program files\Glimmerfen Studios\Tarnwick" of the
# Wine prefix, unless that folder exists already: a game folder is never overwritten.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
export WINEPREFIX="$1"

# winepath finds the prefix's own spelling of "Program files" (Wine matches names without case).
game="$(winepath -u 'C:\Program files\Glimmerfen Studios\Tarnwick' 2>/dev/null)"
[ -n "$game" ] && game="$(realpath -m "$game")"
if [ -z "$game" ]; then
  echo "seed-game.sh: cannot find drive C: of $WINEPREFIX" >&2
  exit 1
fi
if [ -e "$game" ]; then
  echo "Game folder present: $game"
  exit 0
fi
mkdir -p "$game"
cp -R "$here/sample-game/." "$game/"
echo "Seeded the game folder with sample game data: $game"
