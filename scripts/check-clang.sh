#!/usr/bin/env bash
# A second compiler: every source file of src/ compiled by clang for the mingw-w64 target
# with -Wall -Wextra -Werror, syntax only (clang reads the same mingw-w64 headers and
# libstdc++ as the build; linking is left to the build). Installs what is missing first.
# Prints each file's diagnostics and exits 1 when there is one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

# libstdc++'s headers as the mingw-w64 compiler itself finds them.
gxx=x86_64-w64-mingw32-g++-posix
mapfile -t system_dirs < <("$gxx" -x c++ -E -v - </dev/null 2>&1 |
  sed -n '/#include <...> search starts here:/,/End of search list./p' | sed '1d;$d' | sed 's/^ *//')
flags=(--target=x86_64-w64-mingw32 -std=c++20 -fsyntax-only -Wall -Wextra -Werror
       -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -Isrc)
for dir in "${system_dirs[@]}"; do
  case "$dir" in */c++*) flags+=(-isystem "$dir") ;; esac
done
# The sources as the build compiles them: with libgcrypt where it is there.
[ -f /usr/x86_64-w64-mingw32/include/gcrypt.h ] && flags+=(-DBKTRNWCK_HAVE_LIBGCRYPT=1)

export CLANG_FLAGS="${flags[*]}"
if find src -name '*.cpp' -print0 | sort -z |
   xargs -0 -P "$(nproc)" -n 4 sh -c 'clang++ $CLANG_FLAGS "$@"' clang; then
  echo "clang: src/ compiles with -Wall -Wextra -Werror"
else
  echo "clang: src/ does not compile cleanly (above)" >&2
  exit 1
fi
