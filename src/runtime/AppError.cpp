#include "runtime/AppError.h"

#include <windows.h>

#include "runtime/TextConv.h"

AppError::AppError(long number, std::wstring source, std::wstring description)
    : std::runtime_error(Narrow(description)),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

AppError AppError::FromWin32(unsigned long code, std::wstring source) {
    return AppError(static_cast<long>(code), std::move(source), SystemErrorText(code));
}

void ThrowLastError(const std::wstring& source) {
    throw AppError::FromWin32(GetLastError(), source);
}

std::wstring SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    DWORD len = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = len ? std::wstring(buffer, len) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"Error " + std::to_wstring(code);
    return text;
}
