#pragma once
// SHA-256 of a stream of bytes, by the platform's own hash (BCrypt).

#include <windows.h>
#include <bcrypt.h>

#include <cstddef>
#include <string>

class Sha256 {
public:
    // An AppError when the platform offers no SHA-256.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    Sha256(Sha256&& other) noexcept;
    Sha256& operator=(Sha256&& other) noexcept;

    void Add(const void* data, std::size_t size);
    // The digest of everything added, as 64 lower-case hex digits; the hash is spent.
    std::string HexDigest();

private:
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};
