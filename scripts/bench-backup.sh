#!/usr/bin/env bash
# Benchmark of a whole backup: makes a game folder in the benchmark's own Wine prefix
# (about 3000 small files in nested folders in saves, maps and scores, three files of
# 32 MiB, tarnwick.cfg), then three rounds of: `cp -r` of the game folder on the Linux
# side, and bench_backup under Wine timing the backup wizard's engine, a plain CopyFileW
# loop and the shell's copy alone over the same folder. Prints the medians and ratios.
# The game folder and all copies are removed afterwards. Usage: scripts/bench-backup.sh
#
# scripts/bench-restore.sh runs its benchmark through run_engine_bench below.
set -euo pipefail

# run_engine_bench PROGRAM SCRATCH_WIN CP_FUNCTION: builds, prepares the prefix and the
# program's data, runs the rounds and prints the table. "CP_FUNCTION copy" copies the
# same data with `cp -r`, "CP_FUNCTION remove" removes that copy again (untimed).
run_engine_bench() {
  local program="$1" scratch_win="$2" cp_function="$3"
  source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"
  bench_prepare

  game="$(realpath -m "$(winepath -u 'C:\Program files\Glimmerfen Studios\Tarnwick' 2>/dev/null)")"
  scratch="$(realpath -m "$(winepath -u "$scratch_win" 2>/dev/null)")"
  trap 'remove_bench_data; [ -n "${BKTRNWCK_XVFB_PID:-}" ] && kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true' EXIT
  remove_bench_data

  local exe="build/mingw/bench/$program.exe"
  wine "$exe" prepare "$scratch_win" >/dev/null
  sync  # the generated data is on disk before anything is timed

  # cp -r and the Wine round side by side, so that both see the same load.
  local cp=() loop=() shell=() engine=() check=() round start end figures
  for round in 0 1 2; do
    start=$(date +%s%N)
    "$cp_function" copy
    end=$(date +%s%N)
    "$cp_function" remove
    cp+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e6 }')")
    figures=($(wine "$exe" round "$scratch_win" "$round" | tr -d '\r'))
    [ "${#figures[@]}" -eq 4 ] || { echo "$program: round $round failed" >&2; exit 1; }
    loop+=("${figures[0]}") shell+=("${figures[1]}") engine+=("${figures[2]}") check+=("${figures[3]}")
  done
  wine "$exe" report "$scratch_win" "${cp[@]}" "${loop[@]}" "${shell[@]}" "${engine[@]}" "${check[@]}" | tr -d '\r'
}

# The game folder (and the studio folder above it) and the scratch folder go; the
# prefix's Wine processes end first, before their display may go.
remove_bench_data() {
  wineserver -w
  rm -rf "$game" "$scratch"
  rmdir "$(dirname "$game")" 2>/dev/null || true
}

cp_game_folder() {
  case "$1" in
    copy) cp -r "$game" "$scratch/cp" ;;
    remove) rm -rf "$scratch/cp" ;;
  esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  run_engine_bench bench_backup 'C:\bench-backup' cp_game_folder
fi
