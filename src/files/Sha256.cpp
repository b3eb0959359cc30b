#include "files/Sha256.h"

#include "runtime/TextConv.h"

void StartSha256() {
#if BKTRNWCK_HAVE_LIBGCRYPT
    StartGcrypt();
#else
    BCryptSha256 probe;  // opens the system's provider once, as the first hash would
#endif
}

std::wstring Sha256Provider() {
#if BKTRNWCK_HAVE_LIBGCRYPT
    return L"libgcrypt " + Widen(GcryptVersion());
#else
    return L"BCrypt";
#endif
}

std::string HexOf(const unsigned char* digest, std::size_t size) {
    static const char hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}
