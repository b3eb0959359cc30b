#!/usr/bin/env bash
# Benchmark of dated sets, with the real program on a RAM disk (as root; on disk otherwise):
#   - a dated backup of unchanged data beside the first dated backup of the same data,
#     for 4000 files of 4 KiB and for 4 files of 500 MiB (medians of BENCH_ROUNDS, default 3);
#   - the disk that 14 dated sets take, 1 % of the files changed between runs, against one
#     set (du counts a file with several names once), for the small files and for 400 files
#     of 256 KiB;
#   - /verify of a set beside `sha256sum -c` of its manifest on the Linux side.
# The game folder is one of the benchmark's own, which the program is told of as the
# player's chosen folder. Usage: scripts/bench-dated.sh (BENCH_SHAPES="" leaves out the
# timing of the backups, BENCH_SHAPES=small or large keeps one).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"
bench_prepare bkTrnwck

exe="build/mingw/bkTrnwck.exe"
rounds="${BENCH_ROUNDS:-3}"
bench_extra_cleanup() {
  wine reg delete 'HKCU\Software\Glimmerfen Studios\Backup Tarnwick' /v GameFolder /f >/dev/null 2>&1 || true
}
bench_ram_scratch 'C:\bench-dated' 8g
echo "bench-dated: $where"
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 || true
# The game lies where the benchmark puts it, nowhere else.
rm -rf "$(realpath -m "$(winepath -u 'C:\Program files\Glimmerfen Studios\Tarnwick' 2>/dev/null)")"
wine reg add 'HKCU\Software\Glimmerfen Studios\Backup Tarnwick' /v GameFolder /d "$scratch_win\\game" /f >/dev/null 2>&1

ms_of() { local start end; start=$(date +%s%N); "$@" >/dev/null; end=$(date +%s%N); echo $(((end - start) / 1000000)); }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# A game of FOLDERS x FILES saves of SIZE bytes each, random, and its other data.
make_game() {
  local folders="$1" files="$2" size="$3"
  for f in $(seq 1 "$folders"); do
    mkdir -p "$scratch/game/saves/area $f"
    for i in $(seq 1 "$files"); do head -c "$size" /dev/urandom >"$scratch/game/saves/area $f/slot $i.sav"; done
  done
  mkdir -p "$scratch/game/maps" "$scratch/game/scores"
  echo "volume=7" >"$scratch/game/tarnwick.cfg"
}
make_small() { make_game 40 100 4096; }
make_large() {
  mkdir -p "$scratch/game/maps" "$scratch/game/saves" "$scratch/game/scores"
  for i in 1 2 3 4; do head -c $((500 << 20)) /dev/urandom >"$scratch/game/maps/world $i.map"; done
  echo "volume=7" >"$scratch/game/tarnwick.cfg"
}

for shape in ${BENCH_SHAPES-small large}; do
  first=() again=()
  for round in $(seq 1 "$rounds"); do
    rm -rf "$scratch/game" "$scratch/sets"; mkdir -p "$scratch/sets"
    "make_$shape"
    first+=("$(ms_of wine "$exe" /backup "$scratch_win\\sets" /dated)")
    again+=("$(ms_of wine "$exe" /backup "$scratch_win\\sets" /dated)")
  done
  f=$(median "${first[@]}") a=$(median "${again[@]}")
  echo "$shape: first dated backup $f ms, a dated backup of unchanged data $a ms: $(awk -v a="$a" -v f="$f" 'BEGIN { printf "%.3f", a / f }') x"
  if [ "$shape" = large ]; then
    set_dir="$(ls -d "$scratch/sets"/*/ | head -n1)"
    marker="$(ls "$set_dir" | grep '^Tarnwick_.*\.BAK$')"
    v=$(ms_of wine "$exe" /verify "$(winepath -w "$set_dir$marker")")
    s=$(ms_of sh -c "cd '$set_dir' && sha256sum -c --quiet 'Tarnwick set contents.sha256'")
    echo "  /verify of one set $v ms, sha256sum -c of it $s ms: $(awk -v v="$v" -v s="$s" 'BEGIN { printf "%.2f", v / s }') x"
  fi
done

# 14 nightly sets, 1 % of the files changed between runs: of the small files, and of a game
# of 400 files of 256 KiB (100 MiB), where each set's own manifest and folders weigh less.
fourteen_sets() {
  local label="$1" changed="$2" size="$3"
  for run in $(seq 1 14); do
    for f in $(seq 1 "$changed"); do head -c "$size" /dev/urandom >"$scratch/game/saves/area $f/slot $run.sav"; done
    wine "$exe" /backup "$scratch_win\\sets" /dated /keep 14 >/dev/null
  done
  local one all
  one=$(du -sk "$(ls -d "$scratch/sets"/*/ | head -n1)" | cut -f1)
  all=$(du -sk "$scratch/sets" | cut -f1)
  echo "14 dated sets of $label, 1 % changed between runs: $all KiB on the disk, one set $one KiB: $(awk -v a="$all" -v o="$one" 'BEGIN { printf "%.2f", a / o }') x"
}
rm -rf "$scratch/game" "$scratch/sets"; mkdir -p "$scratch/sets"
make_small
fourteen_sets "4000 files of 4 KiB" 40 4096
rm -rf "$scratch/game" "$scratch/sets"; mkdir -p "$scratch/sets"
make_game 4 100 262144
fourteen_sets "400 files of 256 KiB" 4 262144
