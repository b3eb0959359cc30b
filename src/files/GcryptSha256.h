#pragma once
// SHA-256 of a stream of bytes by libgcrypt, GnuPG's crypto library (LGPL 2.1 or later),
// which chooses the CPU's SHA instructions, or AVX2, by itself (see Sha256.h). Built only
// where the build finds the library.

#include <cstddef>
#include <string>

#include "runtime/Handles.h"

struct gcry_md_handle;

// Checks the library's version and finishes its initialisation, once for the process
// (later calls return at once). An AppError when the library is older than the one the
// program was built with.
void StartGcrypt();
// The library's version, "1.10.1".
std::string GcryptVersion();

class GcryptSha256 {
public:
    // An AppError when the library offers no SHA-256.
    GcryptSha256();

    void Add(const void* data, std::size_t size);
    // The digest of everything added, as 64 lower-case hex digits; the hash is spent.
    std::string HexDigest();

private:
    struct Traits {
        using Handle = gcry_md_handle*;
        static Handle Invalid() { return nullptr; }
        static void Close(Handle h);
    };
    UniqueHandle<Traits> hash_;
};
