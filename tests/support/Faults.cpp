#include "Faults.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/Handles.h"
#include "runtime/TextConv.h"

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

// Runs a Linux program through Wine's own spawn and waits for it. Not CreateProcessW:
// for a Linux program Wine hands back no usable process information, and closing what
// it leaves there closes handles of this process.
using WineSpawn = LONG(CDECL*)(char* const argv[], int wait);

bool RunUnix(std::vector<std::string> args) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto spawn = ntdll ? reinterpret_cast<WineSpawn>(GetProcAddress(ntdll, "__wine_unix_spawnvp")) : nullptr;
    if (!spawn)
        return false;
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), TRUE) == 0;
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

bool PathIsLink(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::optional<bool> LinuxCommandSucceeds(const std::wstring& folder, const std::string& command) {
    std::string unixFolder = UnixName(folder);
    if (unixFolder.empty())
        return std::nullopt;
    return RunUnix({"/bin/sh", "-c", "cd \"$1\" && " + command, "sh", unixFolder});
}

ImmutableScope::ImmutableScope(const std::wstring& path) {
    unixPath_ = UnixName(path);
    if (unixPath_.empty())
        return;
    ok_ = RunUnix({"/usr/bin/chattr", "+i", unixPath_}) && RefusesWrites(path);
}

ImmutableScope::~ImmutableScope() {
    if (unixPath_.empty())
        return;
    RunUnix({"/usr/bin/chattr", "-i", unixPath_});
}

FileHandle HoldOpen(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot hold the file open");
    return file;
}

RamDiskScope::RamDiskScope(const std::wstring& folder, unsigned kilobytes) {
    unixPath_ = UnixName(folder);
    if (unixPath_.empty())
        return;
    std::string size = "size=" + std::to_string(kilobytes) + "k";
    ok_ = RunUnix({"/usr/bin/mount", "-t", "tmpfs", "-o", size, "tmpfs", unixPath_});
}

RamDiskScope::~RamDiskScope() {
    if (ok_)
        RunUnix({"/usr/bin/umount", "-l", unixPath_});
}

bool MakeLinuxSymlink(const std::wstring& target, const std::wstring& link) {
    std::string unixTarget = UnixName(target);
    size_t cut = link.find_last_of(L'\\');
    std::string unixParent = cut == std::wstring::npos ? std::string() : UnixName(link.substr(0, cut));
    if (unixTarget.empty() || unixParent.empty())
        return false;
    std::string name = Narrow(link.substr(cut + 1));
    return RunUnix({"/usr/bin/ln", "-s", unixTarget, unixParent + "/" + name}) && PathIsLink(link);
}

ReadOnlyScope::ReadOnlyScope(const std::wstring& folder) {
    unixPath_ = UnixName(folder);
    if (unixPath_.empty())
        return;
    mounted_ = RunUnix({"/usr/bin/mount", "--bind", unixPath_, unixPath_});
    ok_ = mounted_ && RunUnix({"/usr/bin/mount", "-o", "remount,bind,ro", unixPath_}) && RefusesWrites(folder);
}

ReadOnlyScope::~ReadOnlyScope() {
    if (mounted_)
        RunUnix({"/usr/bin/umount", "-l", unixPath_});
}

RemovableDrive::RemovableDrive(wchar_t letter, const std::wstring& folder)
    : folder_(folder), device_(1, static_cast<char>(towlower(letter))) {
    device_ += ":";
    std::wstring root = std::wstring(1, letter) + L":\\";
    if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;  // the letter is taken
    PutBack();
    ok_ = GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
}

RemovableDrive::~RemovableDrive() { TakeOut(); }

void RemovableDrive::TakeOut() {
    std::optional<bool> done = LinuxCommandSucceeds(folder_, "rm -f \"$WINEPREFIX/dosdevices/" + device_ + "\"");
    (void)done;  // a link not there is taken out already
}

void RemovableDrive::PutBack() {
    std::optional<bool> done =
        LinuxCommandSucceeds(folder_, "[ -n \"$WINEPREFIX\" ] && ln -sfn \"$PWD\" \"$WINEPREFIX/dosdevices/" + device_ + "\"");
    (void)done;  // Ok() tells whether the drive is there
}
