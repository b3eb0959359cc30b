#!/usr/bin/env bash
# ctest's emulator: runs one Windows program of the build under Wine in the test prefix.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
export WINEPREFIX="${BKTRNWCK_TEST_PREFIX:-${WINEPREFIX:-$here/../build/wineprefix-test}}"
exec wine "$@"
