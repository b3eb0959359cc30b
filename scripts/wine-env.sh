# Sourced by the other scripts: the Wine settings every run of the program uses.
# WINEPREFIX is the caller's choice; the scripts default it to a prefix of their own.
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install dialogs: the program needs neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
# Wine makes Unix file names in the locale's character set: outside UTF-8 (LANG unset, as on
# a fresh machine's root shell) names beyond ASCII, such as the tests' scratch folders, fail.
case "$(locale charmap 2>/dev/null)" in
  UTF-8) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
