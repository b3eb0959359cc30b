#!/usr/bin/env bash
# Benchmark of the folder copy: generates two trees (thousands of 4 KiB files in nested
# folders; a few files of tens of MB), copies each with `cp -r` on the Linux side, then
# runs bench_copyfolder under Wine, which copies the same tree with CopyFolder and with a
# plain CopyFileW loop and prints both ratios. Usage: scripts/bench-copyfolder.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"
bench_setup bench-copyfolder

make_small() {  # 3000 files of 4 KiB: 10 folders x 10 sub-folders x 30 files
  local dir="$1"
  head -c 4096 /dev/urandom >"$work/block"
  for a in $(seq 1 10); do
    for b in $(seq 1 10); do
      mkdir -p "$dir/area $a/part $b"
      for f in $(seq 1 30); do cp "$work/block" "$dir/area $a/part $b/save $f.sav"; done
    done
  done
}

make_large() {  # 3 files of 40 MiB
  local dir="$1"
  mkdir -p "$dir/maps"
  for f in 1 2 3; do head -c $((40 * 1024 * 1024)) /dev/urandom >"$dir/maps/world $f.map"; done
}

# Median of three `cp -r` runs, in milliseconds.
cp_ms() {
  local src="$1" times=()
  for run in 1 2 3; do
    local start end
    start=$(date +%s%N)
    cp -r "$src" "$work/cp-$run"
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
    rm -rf "$work/cp-$run"
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 2p | awk '{ printf "%.1f", $1 / 1000 }'
}

# A persistent wineserver, warmed up by one program: otherwise Wine's background
# services start with the benchmark and hold its output pipe open.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
for set in small large; do
  mkdir -p "$work/$set/out"
  "make_$set" "$work/$set/src/game"
  ms=$(cp_ms "$work/$set/src/game")
  label="$set files: $(find "$work/$set/src/game" -type f | wc -l) files, $(du -sm "$work/$set/src/game" | cut -f1) MB"
  scripts/wine-exec.sh build/mingw/bench/bench_copyfolder.exe "$label" \
    "$(winepath -w "$work/$set/src/game")" "$(winepath -w "$work/$set/out")" "$ms"
  rm -rf "$work/$set"
done
