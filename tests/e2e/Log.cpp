#include "Log.h"

#include <windows.h>

#include <cstdio>

#include "runtime/TextConv.h"

void Log(const std::wstring& line) {
    std::string utf8 = Narrow(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring Win32Message(unsigned long code) {
    wchar_t* buffer = nullptr;
    DWORD len = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = L"error " + std::to_wstring(code);
    if (len && buffer) {
        std::wstring message(buffer, len);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
            message.pop_back();
        text += L": " + message;
    }
    LocalFree(buffer);
    return text;
}
