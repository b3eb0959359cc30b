#!/usr/bin/env bash
# The project's test command: installs what is missing, builds, and runs every test
# under Wine (on a virtual display when there is none).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/wine-env.sh
source scripts/xvfb.sh

scripts/install-deps.sh
scripts/build.sh

export BKTRNWCK_TEST_PREFIX="$root/build/wineprefix-test"
export WINEPREFIX="$BKTRNWCK_TEST_PREFIX"
ensure_display
scripts/wine-prefix.sh "$WINEPREFIX"

# A persistent wineserver, warmed up by one program: otherwise the first test
# starts Wine's background services, which hold ctest's output pipe open.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true; [ -n "${BKTRNWCK_XVFB_PID:-}" ] && kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true' EXIT

ctest --preset mingw --timeout 300 "$@"
