#!/usr/bin/env bash
# Benchmark of what a restore checks before it trusts a set: on 4,000 files of 4 KiB,
# the strict manifest, the checked names and the link bits, timed beside the listing of
# the set and a whole restore over equal data in the same run. Usage: scripts/bench-setchecks.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"
bench_setup bench-setchecks

# A persistent wineserver, warmed up by one program: otherwise Wine's background
# services start with the benchmark and hold its output pipe open.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
scripts/wine-exec.sh build/mingw/bench/bench_setchecks.exe "$(winepath -w "$work")"
