#include "files/HexText.h"

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
