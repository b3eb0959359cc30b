// Stands in for the game under /play. As the game it writes down its arguments and the
// folder it was started in, starts a second process of itself that outlives it, writes
// its last save and ends with the exit code it was given:
//   test_game.exe <game folder> <exit code> [arguments...]
// The second process, test_game.exe --left-running <game folder>, writes a save a while
// after the first one has ended.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void WriteSave(const std::wstring& path, const std::wstring& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        ExitProcess(90);
    std::string bytes(text.begin(), text.end());
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"--left-running") {
        Sleep(1500);
        WriteSave(std::wstring(argv[2]) + L"\\saves\\left running.sav", L"written after the game ended");
        return 0;
    }
    if (argc < 3)
        return 91;
    const std::wstring game = argv[1];
    std::wstring arguments;
    for (int i = 3; i < argc; ++i)
        arguments += std::wstring(i > 3 ? L"|" : L"") + argv[i];
    WriteSave(game + L"\\saves\\arguments.txt", arguments);
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    WriteSave(game + L"\\saves\\started in.txt", folder);

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --left-running \"" + game + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        std::fwprintf(stderr, L"cannot start %ls: error %lu\n", command.c_str(), GetLastError());
        return 92;
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    WriteSave(game + L"\\saves\\last.sav", L"the game's last save");
    return std::wcstol(argv[2], nullptr, 10);
}
