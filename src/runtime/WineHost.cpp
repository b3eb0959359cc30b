#include "runtime/WineHost.h"

#include <windows.h>

#include "runtime/TextConv.h"

namespace {

template <class F>
F WineExport(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<F>(GetProcAddress(loaded, name)) : nullptr;
}

}  // namespace

std::optional<std::wstring> WineVersion() {
    auto version = WineExport<const char* (*)()>(L"ntdll.dll", "wine_get_version");
    if (!version)
        return std::nullopt;
    return Widen(version());
}

std::optional<std::wstring> UnixPathOf(const std::wstring& windowsPath) {
    auto convert = WineExport<char* (*)(const wchar_t*)>(L"kernel32.dll", "wine_get_unix_file_name");
    if (!convert)
        return std::nullopt;
    char* unix = convert(windowsPath.c_str());
    if (!unix)
        return std::nullopt;
    // Wine hands out the name from the process heap, in UTF-8.
    std::wstring path = Widen(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

std::optional<std::wstring> WineFileNameLocale() {
    if (!WineVersion())
        return std::nullopt;
    for (const wchar_t* name : {L"LC_ALL", L"LC_CTYPE", L"LANG"}) {
        wchar_t value[256] = {};
        DWORD length = GetEnvironmentVariableW(name, value, 256);
        if (length > 0 && length < 256)
            return std::wstring(value);
    }
    return std::nullopt;
}

std::optional<std::wstring> WinePrefixPath() {
    if (!WineVersion())
        return std::nullopt;
    // Wine names its prefix for the programs it runs as "\??\Z:\home\ann\.wine".
    wchar_t config[MAX_PATH * 2] = {};
    DWORD length = GetEnvironmentVariableW(L"WINECONFIGDIR", config, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return std::nullopt;
    std::wstring dos = config;
    if (dos.rfind(L"\\??\\", 0) == 0)
        dos.erase(0, 4);
    std::optional<std::wstring> unix = UnixPathOf(dos);
    if (!unix)
        return std::nullopt;
    while (unix->size() > 1 && unix->back() == L'/')
        unix->pop_back();
    return unix;
}
