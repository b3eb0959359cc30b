#!/usr/bin/env bash
# The project's run command: installs what is missing, builds, prepares the Wine prefix and
# starts Backup Tarnwick on your display.
#
#   scripts/run.sh                       the project's own prefix (build/wineprefix-run), whose
#                                        game folder gets sample game data when it has none
#   WINEPREFIX=~/.wine scripts/run.sh    your own prefix, where your game lives; left as it is
#
# With no working display it says so, shows the program on a virtual display instead and walks
# it with the end-to-end driver, saving a screenshot of every step.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/wine-env.sh
source scripts/xvfb.sh

scripts/install-deps.sh
echo "Building..."
build_log="$(mktemp)"
if ! scripts/build.sh >"$build_log" 2>&1; then
  cat "$build_log" >&2
  rm -f "$build_log"
  echo "The build failed." >&2
  exit 1
fi
rm -f "$build_log"
exe="$root/build/mingw/bkTrnwck.exe"
driver="$root/build/mingw/tests/e2e/e2e_driver.exe"

own_prefix=1
if [ -n "${WINEPREFIX:-}" ]; then
  own_prefix=0
else
  export WINEPREFIX="$root/build/wineprefix-run"
fi

real_display=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  real_display=0
  echo "No working display (DISPLAY=${DISPLAY:-unset}): showing Backup Tarnwick on a virtual display instead."
  unset DISPLAY
  ensure_display
fi

if [ "$own_prefix" -eq 1 ]; then
  scripts/wine-prefix.sh "$WINEPREFIX"
  # Windows that the window manager handles on a real display; unmanaged ones on the virtual
  # display, which has no window manager to wait for.
  managed=N
  [ "$real_display" -eq 1 ] && managed=Y
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
  scripts/seed-game.sh "$WINEPREFIX"
fi
# Wine's background services start here, away from our output, so nothing holds it open.
wine cmd /c exit >/dev/null 2>&1 || true

if [ "$real_display" -eq 1 ]; then
  echo "Starting Backup Tarnwick (Wine prefix $WINEPREFIX)."
  exec wine "$exe"
fi

stamp="$(date +%Y-%m-%d_%H.%M.%S)"
shots="$root/build/run-screenshots/$stamp"
set_folder="C:\\Tarnwick backups\\$stamp"
mkdir -p "$shots"

# In the project's prefix: a backup of the sample data, then a restore from its marker chosen in
# the open-file dialog. A restore would write into your own game folder: in your prefix only
# the backup runs.
if [ "$own_prefix" -eq 1 ]; then
  echo "Walking the program on the virtual display: a backup into $set_folder, then a restore from it."
  args=(backup-restore "$exe" "$set_folder" --use-open-dialog)
else
  echo "Walking the program on the virtual display: a whole backup into $set_folder."
  args=(backup "$exe" "$set_folder")
fi
status=0
wine "$driver" "${args[@]}" --screenshots "$shots" --timeout 300 || status=$?

if [ -d "$(winepath -u "$set_folder" 2>/dev/null)" ]; then
  echo
  echo "Backup set: $set_folder"
  echo "      (on Linux: $(realpath -m "$(winepath -u "$set_folder" 2>/dev/null)"))"
fi
echo
echo "Screenshots: $shots"
ls -1 "$shots"
if [ "$status" -ne 0 ]; then
  echo "The walk through the program failed (see above)." >&2
  exit "$status"
fi
