# Sourced by the other scripts: the Wine settings every run of the program uses.
# WINEPREFIX is the caller's choice; the scripts default it to a prefix of their own.
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install dialogs: the program needs neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
