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
