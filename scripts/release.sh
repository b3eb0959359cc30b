#!/usr/bin/env bash
# The project's release command: installs what is missing, builds the project and makes the
# players' archive build/mingw/bkTrnwck-<version>-win64.zip (bkTrnwck.exe and
# README-player.txt, and what libgcrypt's licence asks for: licences/ and relink/), then
# lists it and checks that it holds those and nothing else, with the project's version in
# the program's version resource.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
# Configured every time: a build folder made before the archive existed knows no target for it.
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target release_archive -- --no-print-directory
