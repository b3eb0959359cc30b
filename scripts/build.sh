#!/usr/bin/env bash
# Configures (once) and builds the mingw preset. Prints nothing on success but make's output.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
[ -f build/mingw/CMakeCache.txt ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" -- --no-print-directory
