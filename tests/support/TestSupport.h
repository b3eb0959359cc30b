#pragma once
// What every test program shares: the user's answers to message boxes, an observable
// end of the program, and scratch folders on the real file system.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>

#include "runtime/MsgBox.h"

// Thrown where the program would end (Cancel, Finish, the unhandled-failure report).
struct ProgramEnded {};

// Records every message box while alive and answers in the user's place: with the
// queued answers first, then with OK (or Yes for a question).
class MsgBoxRecorder {
public:
    MsgBoxRecorder();
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    void QueueAnswer(MsgResult answer) { answers_.push_back(answer); }
    const std::vector<MsgBoxCall>& Calls() const { return calls_; }
    std::vector<std::wstring> Texts() const;
    void Clear() { calls_.clear(); }

private:
    std::vector<MsgBoxCall> calls_;
    std::deque<MsgResult> answers_;
    MsgBoxHook previous_;
};

// A fresh, empty folder on drive C: of the test prefix, removed with everything in it
// when the object goes. Its path holds a space and a character outside the ANSI code page
// unless asked otherwise, so that every test covers such paths.
class ScratchDir {
public:
    explicit ScratchDir(bool plainName = false);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path + "\" + relative.
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Small file helpers over the real API for building fixtures and checking results.
// Starts a helper program (the program under test, a stand-in game, a job in a process of
// its own) with the command line; the caller owns both handles. A start that fails throws,
// naming the command line and the platform's error number and text.
PROCESS_INFORMATION StartHelperProgram(const std::wstring& commandLine, DWORD flags = 0,
                                       const STARTUPINFOW* startup = nullptr, bool inheritHandles = false);

void WriteTextFile(const std::wstring& path, const std::string& content);
std::string ReadTextFile(const std::wstring& path);  // throws when it cannot be read
bool PathExists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
void MakeDirs(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Moves the last-write time of every file below root (or of root, a file) by seconds: data
// written a moment apart otherwise looks the same to the quick check of size and time.
void ShiftWriteTimes(const std::wstring& root, long long seconds);

// Every file below root, as relative paths with their contents, for tree comparisons.
std::vector<std::pair<std::wstring, std::string>> ListTree(const std::wstring& root);
// The last-write times of the paths (of folders: when their entries last changed).
std::vector<std::int64_t> WriteTimesOf(const std::vector<std::wstring>& paths);

// Prints wide strings readably in assertion messages.
void PrintTo(const std::wstring& text, std::ostream* os);
