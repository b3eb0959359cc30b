# Sourced by the bench-*.sh scripts.
#   bench_prepare: builds, and prepares the benchmarks' own Wine prefix and a display
#                  ($root is the repository, the current folder).
#   bench_setup NAME: bench_prepare, then a fresh work folder build/NAME ($work) that is
#                  removed again when the script exits.
bench_prepare() {
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  cd "$root"
  source scripts/wine-env.sh
  source scripts/xvfb.sh

  scripts/build.sh >/dev/null
  export WINEPREFIX="$root/build/wineprefix-bench"
  ensure_display
  scripts/wine-prefix.sh "$WINEPREFIX"
}

bench_setup() {
  bench_prepare
  work="$root/build/$1"
  rm -rf "$work"
  mkdir -p "$work"
  trap bench_cleanup EXIT
}

bench_cleanup() {
  rm -rf "$work"
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${BKTRNWCK_XVFB_PID:-}" ] && kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true
}
