#include "files/MIni.h"

#include <windows.h>

namespace MIni {

namespace {

// The platform copies at most size - 1 characters and a NUL into a buffer of this size.
const DWORD kReadBufferSize = 255;

std::wstring& ReadBuffer() {
    static std::wstring buffer;
    return buffer;
}

}  // namespace

void WriteIni(const std::wstring& file, const std::wstring& section, const std::wstring& key,
              const std::wstring& value) {
    // The result is not looked at: a marker that cannot be written is simply absent.
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

std::wstring ReadIni(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
    std::wstring& buffer = ReadBuffer();
    buffer.assign(kReadBufferSize, L' ');
    DWORD copied =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), kReadBufferSize, file.c_str());
    buffer.resize(copied);
    return buffer;
}

}  // namespace MIni
