#!/usr/bin/env bash
# Benchmark of the jobs' own copy engine (bench/bench_jobcopy.cpp), for 4000 files of 4 KiB
# and for 4 files of 500 MiB: a first backup and a whole restore, each beside a
# CreateDirectoryW/CopyFileW loop over the same tree; a second backup with nothing changed,
# one with one large file changed, and a restore over equal data, each beside the first
# backup; the SHA-256's share of a copy. On a RAM disk when it can be mounted (as root),
# at nice BENCH_NICE (default -10). Then the copy engine alone on disk with each way of
# flushing. BENCH_ROUNDS=n sets the rounds (default 5). Everything is removed afterwards.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"
bench_prepare bench_jobcopy

exe="build/mingw/bench/bench_jobcopy.exe"
rounds="${BENCH_ROUNDS:-5}"
bench_ram_scratch 'C:\bench-jobcopy' 7g
nice="${BENCH_NICE:--10}"
if [ "$nice" != 0 ] && [ "$(id -u)" -eq 0 ] && renice -n "$nice" -p $$ >/dev/null; then
  where="$where, at nice $nice"
fi
echo "bench_jobcopy: jobs and loops run $where"
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 || true
for shape in small large; do
  wine "$exe" run "$scratch_win" "$shape" "$rounds" | tr -d '\r'
  wine "$exe" changes "$scratch_win" "$shape" "$rounds" | tr -d '\r'
done
wine "$exe" hash "$scratch_win" "$rounds" | tr -d '\r'
wine "$exe" handoff "$rounds" | tr -d '\r'

# Flushing costs nothing on a RAM disk: this part runs on the disk the build lies on.
if [ -n "$mounted" ]; then
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  umount "$scratch"
  mounted=""
fi
echo
echo "bench_jobcopy: flushing, on disk ($(df --output=source,fstype "$scratch" | tail -1 | tr -s ' '))"
wine "$exe" flush "$scratch_win" "$rounds" | tr -d '\r'
