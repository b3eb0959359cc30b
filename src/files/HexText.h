#pragma once

#include <cstddef>
#include <string>

// A digest's bytes as lower-case hex digits, as sha256sum writes them.
std::string HexOf(const unsigned char* digest, std::size_t size);
