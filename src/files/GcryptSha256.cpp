#if BKTRNWCK_HAVE_LIBGCRYPT

#include "files/GcryptSha256.h"

#include <gcrypt.h>

#include <mutex>

#include "files/HexText.h"
#include "runtime/AppError.h"
#include "runtime/TextConv.h"

namespace {

const wchar_t kSource[] = L"GcryptSha256";

void Check(gcry_error_t error, const wchar_t* what) {
    if (error)
        throw AppError(static_cast<long>(gcry_err_code(error)), kSource,
                       std::wstring(what) + L": " + Widen(gcry_strerror(error)));
}

}  // namespace

void StartGcrypt() {
    static std::once_flag started;
    std::call_once(started, [] {
        // The version the program was built with, or a later one.
        if (!gcry_check_version(GCRYPT_VERSION))
            throw AppError(0, kSource, L"libgcrypt is older than " + Widen(GCRYPT_VERSION));
        // Only digests are taken: no keys, so no secure memory is needed.
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    });
}

std::string GcryptVersion() { return gcry_check_version(nullptr); }

void GcryptSha256::Traits::Close(Handle h) { gcry_md_close(h); }

GcryptSha256::GcryptSha256() {
    StartGcrypt();
    Check(gcry_md_open(hash_.Receive(), GCRY_MD_SHA256, 0), L"gcry_md_open");
}

void GcryptSha256::Add(const void* data, std::size_t size) { gcry_md_write(hash_.Get(), data, size); }

std::string GcryptSha256::HexDigest() {
    const unsigned char* digest = gcry_md_read(hash_.Get(), GCRY_MD_SHA256);
    return HexOf(digest, gcry_md_get_algo_dlen(GCRY_MD_SHA256));
}

#endif
