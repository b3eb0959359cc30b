#pragma once
// SHA-256 of a stream of bytes by the system's own hash (BCrypt). Where Windows runs on a
// CPU with SHA instructions it uses them; Wine's runs in plain code (see Sha256.h).

#include <windows.h>
#include <bcrypt.h>

#include <cstddef>
#include <string>

#include "runtime/Handles.h"

class BCryptSha256 {
public:
    // An AppError when the platform offers no SHA-256.
    BCryptSha256();

    void Add(const void* data, std::size_t size);
    // The digest of everything added, as 64 lower-case hex digits; the hash is spent.
    std::string HexDigest();

private:
    struct Traits {
        using Handle = BCRYPT_HASH_HANDLE;
        static Handle Invalid() { return nullptr; }
        static void Close(Handle h) { BCryptDestroyHash(h); }
    };
    UniqueHandle<Traits> hash_;
};
