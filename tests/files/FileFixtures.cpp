#include "FileFixtures.h"

#include <stdexcept>
#include <vector>

#include "runtime/Handles.h"
#include "runtime/TextConv.h"

CurrentFolderScope::CurrentFolderScope(const std::wstring& folder) {
    DWORD len = GetCurrentDirectoryW(0, nullptr);
    previous_.resize(len);
    previous_.resize(GetCurrentDirectoryW(len, previous_.data()));
    if (!SetCurrentDirectoryW(folder.c_str()))
        throw std::runtime_error("cannot change to " + Narrow(folder));
}

CurrentFolderScope::~CurrentFolderScope() { SetCurrentDirectoryW(previous_.c_str()); }

void WriteSizedFile(const std::wstring& path, std::uint64_t size) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        throw std::runtime_error("cannot create " + Narrow(path));
    std::vector<char> block(64 * 1024, 'x');
    for (std::uint64_t left = size; left > 0;) {
        DWORD chunk = static_cast<DWORD>(left < block.size() ? left : block.size());
        DWORD written = 0;
        if (!WriteFile(file.Get(), block.data(), chunk, &written, nullptr) || written != chunk)
            throw std::runtime_error("cannot write " + Narrow(path));
        left -= chunk;
    }
}

namespace {

using WineUnixName = char*(CDECL*)(const wchar_t*);

WineUnixName UnixNameFunction() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<WineUnixName>(GetProcAddress(kernel, "wine_get_unix_file_name")) : nullptr;
}

std::string UnixName(const std::wstring& path) {
    WineUnixName toUnix = UnixNameFunction();
    char* name = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!name)
        return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a Linux program (Wine runs ELF executables). Wine neither waits for such a
// program nor hands back its exit code: callers wait for its effect instead.
void StartUnix(const std::string& commandLine) {
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// True when nothing can be written to the path: a file cannot be opened for writing,
// a folder cannot take a new file.
bool RefusesWrites(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        return !file;
    }
    const std::wstring probe = path + L"\\probe.tmp";
    FileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!file)
        return true;
    file.Reset();
    DeleteFileW(probe.c_str());
    return false;
}

// Polls a condition for up to ten seconds.
template <class Condition>
bool WaitFor(Condition condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition())
            return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

bool RunningUnderWine() { return UnixNameFunction() != nullptr; }

ImmutableScope::ImmutableScope(const std::wstring& path) : path_(path) {
    unixPath_ = UnixName(path);
    if (unixPath_.empty())
        return;
    StartUnix("/usr/bin/chattr +i \"" + unixPath_ + "\"");
    ok_ = WaitFor([&] { return RefusesWrites(path); });
}

ImmutableScope::~ImmutableScope() {
    if (unixPath_.empty())
        return;
    StartUnix("/usr/bin/chattr -i \"" + unixPath_ + "\"");
    WaitFor([&] { return !RefusesWrites(path_); });
}
