// Both SHA-256 providers against the NIST vectors, and against each other on random data
// of odd lengths handed over in pieces of odd sizes.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/Sha256.h"

namespace {

template <class Provider>
class Sha256Provider : public testing::Test {};

#if BKTRNWCK_HAVE_LIBGCRYPT
using Providers = testing::Types<BCryptSha256, GcryptSha256>;
#else
using Providers = testing::Types<BCryptSha256>;
#endif
TYPED_TEST_SUITE(Sha256Provider, Providers);

template <class Provider>
std::string DigestInPieces(const std::string& data, std::size_t piece) {
    Provider hash;
    for (std::size_t at = 0; at < data.size(); at += piece)
        hash.Add(data.data() + at, std::min(piece, data.size() - at));
    return hash.HexDigest();
}

struct Vector {
    std::string message;
    const char* digest;
};

TYPED_TEST(Sha256Provider, NistVectors) {
    const Vector vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.message.substr(0, 20));
        for (std::size_t piece : {v.message.size() + 1, std::size_t{1}, std::size_t{63}, std::size_t{65537}})
            EXPECT_EQ(DigestInPieces<TypeParam>(v.message, piece), v.digest) << "pieces of " << piece;
    }
}

TEST(Sha256Providers, AgreeOnRandomDataOfOddLengthsAndPieces) {
    std::mt19937 random(25);
    for (int i = 0; i < 40; ++i) {
        std::string data(random() % 300000, '\0');
        for (char& c : data)
            c = static_cast<char>(random());
        std::size_t piece = 1 + random() % 70000;
        std::string expected = DigestInPieces<BCryptSha256>(data, data.size() + 1);
        EXPECT_EQ(DigestInPieces<Sha256>(data, piece), expected) << data.size() << " bytes in pieces of " << piece;
    }
}

}  // namespace
