#!/usr/bin/env bash
# Benchmark of a whole restore: makes a backup set with its marker in the benchmark's own
# Wine prefix (about 3000 small files in nested folders in saves, maps and scores, three
# files of 32 MiB, tarnwick.cfg) and an empty game folder, then three rounds of: `cp -r`
# of the set's data into the game folder on the Linux side, and bench_restore under Wine
# timing the restore wizard's engine, a plain CopyFileW loop and the shell's copy alone
# from the same set into the emptied game folder. Prints the medians and ratios. The set,
# the game folder and all copies are removed afterwards. Usage: scripts/bench-restore.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-backup.sh"

cp_set_into_game_folder() {
  case "$1" in
    copy) cp -r "$scratch/set/saves" "$scratch/set/maps" "$scratch/set/scores" "$scratch/set/tarnwick.cfg" "$game/" ;;
    remove) rm -rf "$game/saves" "$game/maps" "$game/scores" "$game/tarnwick.cfg" ;;
  esac
}

run_engine_bench bench_restore 'C:\bench-restore' cp_set_into_game_folder
