#include "files/BCryptSha256.h"

#include "files/HexText.h"
#include "runtime/AppError.h"

namespace {

const wchar_t kSource[] = L"BCryptSha256";

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

BCryptSha256::BCryptSha256() {
    Check(BCryptCreateHash(Provider(), hash_.Receive(), nullptr, 0, nullptr, 0, 0), L"BCryptCreateHash");
}

void BCryptSha256::Add(const void* data, std::size_t size) {
    auto bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        Check(BCryptHashData(hash_.Get(), bytes, piece, 0), L"BCryptHashData");
        bytes += piece;
        size -= piece;
    }
}

std::string BCryptSha256::HexDigest() {
    UCHAR digest[32];
    Check(BCryptFinishHash(hash_.Get(), digest, sizeof digest, 0), L"BCryptFinishHash");
    return HexOf(digest, sizeof digest);
}
