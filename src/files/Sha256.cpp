#include "files/Sha256.h"

#include <utility>

#include "runtime/AppError.h"

namespace {

const wchar_t kSource[] = L"Sha256";

// One provider for the process: opening it is the costly part.
BCRYPT_ALG_HANDLE Provider() {
    static BCRYPT_ALG_HANDLE provider = [] {
        BCRYPT_ALG_HANDLE opened = nullptr;
        NTSTATUS status = BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
        if (!BCRYPT_SUCCESS(status))
            throw AppError(status, kSource, L"SHA-256 is not available");
        return opened;
    }();
    return provider;
}

void Check(NTSTATUS status, const wchar_t* what) {
    if (!BCRYPT_SUCCESS(status))
        throw AppError(status, kSource, what);
}

}  // namespace

Sha256::Sha256() { Check(BCryptCreateHash(Provider(), &hash_, nullptr, 0, nullptr, 0, 0), L"BCryptCreateHash"); }

Sha256::~Sha256() {
    if (hash_)
        BCryptDestroyHash(hash_);
}

Sha256::Sha256(Sha256&& other) noexcept : hash_(std::exchange(other.hash_, nullptr)) {}

Sha256& Sha256::operator=(Sha256&& other) noexcept {
    if (this != &other) {
        if (hash_)
            BCryptDestroyHash(hash_);
        hash_ = std::exchange(other.hash_, nullptr);
    }
    return *this;
}

void Sha256::Add(const void* data, std::size_t size) {
    auto bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        Check(BCryptHashData(hash_, bytes, piece, 0), L"BCryptHashData");
        bytes += piece;
        size -= piece;
    }
}

std::string Sha256::HexDigest() {
    UCHAR digest[32];
    Check(BCryptFinishHash(hash_, digest, sizeof digest, 0), L"BCryptFinishHash");
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (UCHAR byte : digest) {
        text += hex[byte >> 4];
        text += hex[byte & 15];
    }
    return text;
}
