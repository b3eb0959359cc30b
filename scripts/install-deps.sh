#!/usr/bin/env bash
# Installs, through apt-get, whatever the build, the tests and the run helpers need
# and this Debian machine lacks. Safe to run again: it installs only what is missing.
set -euo pipefail

# The release archive needs no zip tools: CMake packs and unpacks zips itself (libarchive).
packages=(
  cmake make
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  googletest
  clang
  libgcrypt-mingw-w64-dev
  wine wine64 fonts-wine
  xvfb xauth x11-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
