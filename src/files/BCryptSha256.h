#pragma once
// SHA-256 of a stream of bytes by the system's own hash (BCrypt). Where Windows runs on a
// CPU with SHA instructions it uses them; Wine's runs in plain code (see Sha256.h).

#include <windows.h>
#include <bcrypt.h>

#include <cstddef>
#include <string>

class BCryptSha256 {
public:
    // An AppError when the platform offers no SHA-256.
    BCryptSha256();
    ~BCryptSha256();
    BCryptSha256(const BCryptSha256&) = delete;
    BCryptSha256& operator=(const BCryptSha256&) = delete;
    BCryptSha256(BCryptSha256&& other) noexcept;
    BCryptSha256& operator=(BCryptSha256&& other) noexcept;

    void Add(const void* data, std::size_t size);
    // The digest of everything added, as 64 lower-case hex digits; the hash is spent.
    std::string HexDigest();

private:
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};
