#!/usr/bin/env bash
# Benchmark of the folder tree scan: generates two trees (about 5,000 and 20,000 folders),
# times `find -type d` on each on the Linux side, then runs bench_scan under Wine, which
# scans the same tree with GetAllSubdirectories and with a plain recursive FindFirstFileW
# walk and prints both ratios and the cost per folder (which must not grow with the
# tree). Usage: scripts/bench-scan.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"
bench_setup bench-scan

# A tree of top x middle x leaf folders below the root, with a file in each middle folder.
make_tree() {
  local dir="$1" top="$2" middle="$3" leaf="$4"
  for a in $(seq 1 "$top"); do
    for b in $(seq 1 "$middle"); do
      mkdir -p "$dir/area $a/part $b"
      (cd "$dir/area $a/part $b" && mkdir $(seq -f 'leaf%g' 1 "$leaf") && : >notes.txt)
    done
  done
}

# Median of three `find -type d` runs, in milliseconds.
find_ms() {
  local times=()
  for run in 1 2 3; do
    local start end
    start=$(date +%s%N)
    find "$1" -type d >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 2p | awk '{ printf "%.1f", $1 / 1000 }'
}

# A persistent wineserver, warmed up by one program: otherwise Wine's background
# services start with the benchmark and hold its output pipe open.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
for size in "10 10 50" "20 20 50"; do
  read -r top middle leaf <<<"$size"
  tree="$work/tree-$top"
  make_tree "$tree" "$top" "$middle" "$leaf"
  ms=$(find_ms "$tree")
  scripts/wine-exec.sh build/mingw/bench/bench_scan.exe "$top x $middle x $leaf tree" "$(winepath -w "$tree")" "$ms"
  rm -rf "$tree"
done
