# Sourced by the bench-*.sh scripts.
#   bench_prepare [TARGET...]: builds (the given targets only, or everything), and
#                  prepares the benchmarks' own Wine prefix and a display ($root is the
#                  repository, the current folder).
#   bench_setup NAME: bench_prepare, then a fresh work folder build/NAME ($work) that is
#                  removed again when the script exits.
#   bench_ram_scratch WIN SIZE: the scratch folder WIN of the benchmarks' prefix ($scratch_win,
#                  $scratch), a RAM file system of SIZE there when it can be (as root; $mounted),
#                  else on disk; $where says which. All of it, the display with it, goes when
#                  the script exits, after bench_extra_cleanup when the script defines one.
#   run_job_bench ...: the backup and restore benchmarks' rounds; see below.
bench_prepare() {
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  cd "$root"
  source scripts/wine-env.sh
  source scripts/xvfb.sh

  if [ $# -eq 0 ]; then
    scripts/build.sh >/dev/null
  else
    [ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
    cmake --build --preset mingw -j "$(nproc)" --target "$@" -- --no-print-directory >/dev/null
  fi
  export WINEPREFIX="$root/build/wineprefix-bench"
  ensure_display
  scripts/wine-prefix.sh "$WINEPREFIX"
}

bench_setup() {
  bench_prepare
  work="$root/build/$1"
  rm -rf "$work"
  mkdir -p "$work"
  trap bench_cleanup EXIT
}

bench_cleanup() {
  rm -rf "$work"
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${BKTRNWCK_XVFB_PID:-}" ] && kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true
}

bench_ram_scratch() {
  scratch_win="$1"
  scratch="$(realpath -m "$(winepath -u "$scratch_win" 2>/dev/null)")"
  mounted=""
  trap bench_scratch_cleanup EXIT
  mountpoint -q "$scratch" && umount -l "$scratch"
  rm -rf "$scratch"
  mkdir -p "$scratch"
  where="on disk ($scratch)"
  if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o "size=$2" tmpfs "$scratch"; then
    mounted=1
    where="on a RAM disk (tmpfs of $2 at $scratch)"
  fi
}

bench_scratch_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  [ -n "$mounted" ] && { umount "$scratch" || umount -l "$scratch" || true; }
  rm -rf "$scratch"
  if declare -F bench_extra_cleanup >/dev/null; then bench_extra_cleanup; fi
  [ -n "${BKTRNWCK_XVFB_PID:-}" ] && kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true
}

# run_job_bench PROGRAM SCRATCH_WIN RAM_SIZE SOURCE EARLIER SETS...
#
# The backup and restore benchmarks. The scratch folder SCRATCH_WIN (a folder of the
# benchmark's Wine prefix, e.g. 'C:\bench-backup') becomes a RAM file system of at most
# RAM_SIZE (tmpfs; needs root), so that a noisy shared disk weighs on neither side; when
# that cannot be, the run goes on on disk and says so. PROGRAM prepare makes its data
# there; then, for each number of safety sets in SETS (the restore's; the backup passes
# 0), $BENCH_ROUNDS rounds (default 5) of:
#   `cp -r` (Linux) of SOURCE's game data into a copy of EARLIER's (both relative to the
#   scratch folder; the copy is made, and removed again, untimed), then PROGRAM round,
#   which times the bare shell copies, the job and a CopyFileW loop on the same state;
# then the table, and PROGRAM phases, which times the job's steps one by one (skipped
# with BENCH_PHASES=0). Everything is removed afterwards, and the RAM disk unmounted,
# also when a step fails. As root it runs at nice BENCH_NICE (default -10).
run_job_bench() {
  local program="$1" scratch_win="$2" ram_size="$3" source_rel="$4" earlier_rel="$5"
  shift 5
  bench_prepare "$program"

  local exe="build/mingw/bench/$program.exe"
  scratch="$(realpath -m "$(winepath -u "$scratch_win" 2>/dev/null)")"
  bench_mounted=""
  trap 'remove_job_bench_data; [ -n "${BKTRNWCK_XVFB_PID:-}" ] && kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true' EXIT
  # A run cut short before may have left its RAM disk or its data.
  mountpoint -q "$scratch" && { bench_mounted=1; remove_job_bench_data; }
  rm -rf "$scratch"
  mkdir -p "$scratch"

  local where
  if [ "$(id -u)" -ne 0 ]; then
    where="on disk: not root, so no RAM disk ($scratch)"
  elif mount -t tmpfs -o "size=$ram_size" tmpfs "$scratch"; then
    bench_mounted=1
    where="on a RAM disk: tmpfs of at most $ram_size at $scratch"
  else
    where="on disk: mounting a tmpfs at $scratch failed"
  fi
  # Both sides are rounds of many small requests between the program and the wineserver,
  # so other builds on the machine slow them by a factor that changes from round to
  # round: as root the benchmark runs at a higher priority (BENCH_NICE, default -10; 0
  # leaves it as it is).
  local nice="${BENCH_NICE:--10}"
  if [ "$nice" != 0 ] && [ "$(id -u)" -eq 0 ] && renice -n "$nice" -p $$ >/dev/null; then
    where="$where, at nice $nice"
  else
    where="$where, at the priority it was started with"
  fi
  echo "$program: both sides run $where"

  # A persistent wineserver, warmed up by one program: otherwise Wine's background
  # services start with the benchmark and hold its output pipe open.
  wineserver -p >/dev/null 2>&1 || true
  wine cmd /c exit >/dev/null 2>&1 || true
  wine "$exe" prepare "$scratch_win" | tr -d '\r'

  local rounds="${BENCH_ROUNDS:-5}" sets round start end figures
  for sets in "$@"; do
    local cp=() loop=() shell=() job=()
    for round in $(seq 0 $((rounds - 1))); do
      # cp -r and the Wine round side by side, so that both see the same load.
      mkdir "$scratch/cp"
      cp -a "$scratch/$earlier_rel/." "$scratch/cp/"
      start=$(date +%s%N)
      cp -r "$scratch/$source_rel/saves" "$scratch/$source_rel/maps" "$scratch/$source_rel/scores" \
        "$scratch/$source_rel/tarnwick.cfg" "$scratch/cp/"
      end=$(date +%s%N)
      rm -rf "$scratch/cp"
      cp+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e6 }')")
      figures=($(wine "$exe" round "$scratch_win" "$round" "$sets" | tr -d '\r'))
      [ "${#figures[@]}" -eq 3 ] || { echo "$program: round $round failed" >&2; exit 1; }
      loop+=("${figures[0]}") shell+=("${figures[1]}") job+=("${figures[2]}")
    done
    echo
    wine "$exe" report "$scratch_win" "$sets" "${cp[@]}" "${loop[@]}" "${shell[@]}" "${job[@]}" | tr -d '\r'
    if [ "${BENCH_PHASES:-1}" != 0 ]; then
      echo
      wine "$exe" phases "$scratch_win" "$sets" | tr -d '\r'
    fi
  done
}

# The prefix's Wine processes end first (they may hold the folders open), then the data
# goes and the RAM disk with it.
remove_job_bench_data() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${bench_mounted:-}" ]; then
    umount "$scratch" || umount -l "$scratch" || true
    bench_mounted=""
  fi
  rm -rf "$scratch"
}
