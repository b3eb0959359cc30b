#include "TestSupport.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

#include "files/FileOps.h"
#include "runtime/AppError.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"

MsgBoxRecorder::MsgBoxRecorder() {
    previous_ = SetMsgBoxHook([this](const MsgBoxCall& call) {
        calls_.push_back(call);
        if (!answers_.empty()) {
            MsgResult answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        return call.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    });
}

MsgBoxRecorder::~MsgBoxRecorder() { SetMsgBoxHook(std::move(previous_)); }

std::vector<std::wstring> MsgBoxRecorder::Texts() const {
    std::vector<std::wstring> texts;
    for (const auto& call : calls_)
        texts.push_back(call.text);
    return texts;
}

namespace fs = std::filesystem;

ScratchDir::ScratchDir(bool plainName) {
    static std::atomic<int> counter{0};
    std::wstring base = L"C:\\bktrnwck tests";
    std::wstring name = (plainName ? L"scratch" : L"scratch \u00e9\u4e2d ") + std::to_wstring(GetCurrentProcessId()) +
                        L"-" + std::to_wstring(++counter);
    path_ = base + L"\\" + name;
    RemoveTree(path_);
    MakeDirs(path_);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

PROCESS_INFORMATION StartHelperProgram(const std::wstring& commandLine, DWORD flags, const STARTUPINFOW* startup,
                                       bool inheritHandles) {
    STARTUPINFOW plain{};
    plain.cb = sizeof plain;
    std::wstring line = commandLine;  // CreateProcessW may write into it
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, inheritHandles, flags, nullptr, nullptr,
                        const_cast<STARTUPINFOW*>(startup ? startup : &plain), &started)) {
        DWORD error = GetLastError();
        throw std::runtime_error("cannot start " + Narrow(commandLine) + ": error " + std::to_string(error) + " (" +
                                 Narrow(SystemErrorText(error)) + ")");
    }
    return started;
}

void WriteTextFile(const std::wstring& path, const std::string& content) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + Narrow(path));
    out << content;
}

std::string ReadTextFile(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + Narrow(path));
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::wstring& path) {
    DWORD attrs = GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirs(const std::wstring& path) { fs::create_directories(fs::path(path)); }

void RemoveTree(const std::wstring& path) {
    // The program's own removal: read-only files and paths of any length too, so that a
    // test that stopped half-way leaves nothing for the next one of the same name.
    (void)DeleteTree(path);
}

void ShiftWriteTimes(const std::wstring& root, long long seconds) {
    std::vector<fs::path> files;
    if (fs::is_directory(fs::path(root))) {
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(root))) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    } else {
        files.push_back(fs::path(root));
    }
    for (const fs::path& file : files) {
        FileHandle handle(CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        FILETIME time{};
        if (!handle || !GetFileTime(handle.Get(), nullptr, nullptr, &time))
            throw std::runtime_error("cannot reach the time of " + Narrow(file.wstring()));
        ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
        t.QuadPart += static_cast<ULONGLONG>(seconds * 10'000'000LL);
        time = {t.LowPart, t.HighPart};
        SetFileTime(handle.Get(), nullptr, nullptr, &time);
    }
}

std::vector<std::pair<std::wstring, std::string>> ListTree(const std::wstring& root) {
    std::vector<std::pair<std::wstring, std::string>> entries;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(root))) {
        std::wstring rel = fs::relative(entry.path(), fs::path(root)).wstring();
        if (entry.is_directory())
            entries.emplace_back(rel + L"\\", std::string());
        else
            entries.emplace_back(rel, ReadTextFile(entry.path().wstring()));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<std::int64_t> WriteTimesOf(const std::vector<std::wstring>& paths) {
    std::vector<std::int64_t> times;
    for (const std::wstring& path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << Narrow(path);
        times.push_back((static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime);
    }
    return times;
}

void PrintTo(const std::wstring& text, std::ostream* os) { *os << '"' << Narrow(text) << '"'; }
