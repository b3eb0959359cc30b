#!/usr/bin/env bash
# Usage: wine-prefix.sh PREFIX
# Creates the Wine prefix when it is missing and applies the settings that keep
# Wine quick and quiet without a window manager. Idempotent.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
export WINEPREFIX="$1"

if [ ! -f "$WINEPREFIX/.bktrnwck-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  regfile="$(mktemp --suffix=.reg)"
  # Managed=N: without a window manager every hide or close of a top-level window
  # otherwise waits about two seconds. ShowCrashDialog=0: a crash must not open a
  # modal window that nobody closes.
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n' >"$regfile"
  wine regedit /S "$(winepath -w "$regfile")" >/dev/null 2>&1
  wineserver -w
  rm -f "$regfile"
  touch "$WINEPREFIX/.bktrnwck-ready"
fi
