#pragma once
// The SHA-256 every copy's pass takes, by one of two providers with the same interface
// (a constructor, Add, HexDigest), chosen when the program is built:
//
// - libgcrypt (GcryptSha256), where the build finds it (the mingw-w64 build: Debian's
//   libgcrypt-mingw-w64-dev, linked statically). It picks the CPU's SHA instructions or
//   AVX2 by itself, on Windows and under Wine alike, where Wine's BCrypt hashes in plain
//   code at a sixth of the speed;
// - the system's BCrypt (BCryptSha256) otherwise: the native Windows build, where it
//   already uses the CPU's SHA instructions.
//
// The CMake option BKTRNWCK_LIBGCRYPT chooses; it is on by default and falls back to
// BCrypt where libgcrypt is not found.

#include <cstddef>
#include <string>

#include "files/BCryptSha256.h"
#if BKTRNWCK_HAVE_LIBGCRYPT
#include "files/GcryptSha256.h"
using Sha256 = GcryptSha256;
#else
using Sha256 = BCryptSha256;
#endif

// Makes the provider ready; the program calls it once as it starts (libgcrypt checks its
// version and initialises itself). An AppError when the provider cannot be used.
void StartSha256();

// The provider's name, for benchmarks and reports: "libgcrypt 1.10.1" or "BCrypt".
std::wstring Sha256Provider();
