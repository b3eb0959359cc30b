#include "Session.h"

#include "E2eError.h"
#include "Deadline.h"
#include "Log.h"

Session::Session(const std::wstring& exePath, ScreenshotLog& shots) : app_(exePath), shots_(shots) {
    Log(L"started " + exePath + L" (pid " + std::to_wstring(app_.Pid()) + L")");
}

void Session::ExpectMessage(const std::wstring& text, int buttonId) { expected_.push_back({text, buttonId}); }

void Session::AnswerOrFail(HWND box) {
    std::wstring text = MessageBoxText(box);
    if (expected_.empty() || expected_.front().text != text)
        throw E2eError(L"unexpected message box \"" + TextOf(box) + L"\": " + text);
    Shot(L"message", box);
    Log(L"message box: " + text);
    PressDialogButton(box, expected_.front().buttonId);
    expected_.pop_front();
    if (!WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepTimeoutMs))
        throw E2eError(L"the message box \"" + text + L"\" did not close");
}

void Session::Wait(const std::wstring& what, const std::function<bool()>& condition, DWORD timeoutMs,
                   DWORD pollMs) {
    timeoutMs = LimitToDeadline(timeoutMs);
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND box = FindMessageBox(app_.Pid())) {
            AnswerOrFail(box);
            continue;
        }
        if (condition())
            return;
        if (!app_.Running())
            throw E2eError(L"the program ended (exit code " + std::to_wstring(app_.ExitCode()) +
                           L") while waiting for " + what);
        if (GetTickCount64() >= deadline)
            throw E2eError(L"timed out after " + std::to_wstring((timeoutMs + 999) / 1000) + L" s waiting for " + what);
        Sleep(pollMs);
    }
}

HWND Session::WaitForTopWindow(const std::wstring& what, const WindowPredicate& predicate, DWORD timeoutMs) {
    HWND found = nullptr;
    Wait(what, [&] { return (found = FindTopWindow(app_.Pid(), predicate)) != nullptr; }, timeoutMs);
    return found;
}

void Session::ExpectEnd(const std::wstring& after) {
    if (!app_.WaitExit(LimitToDeadline(kStepTimeoutMs)))
        throw E2eError(L"the program did not end after " + after);
    Log(L"the program ended after " + after + L" (exit code " + std::to_wstring(app_.ExitCode()) + L")");
    if (!expected_.empty())
        throw E2eError(L"the message box \"" + expected_.front().text + L"\" never showed");
}

void Session::Kill() {
    app_.Kill();
    Log(L"killed the program (TerminateProcess)");
}

void Session::Shot(const std::wstring& name, HWND settleWindow, DWORD paintMs) {
    if (settleWindow)
        Settle(settleWindow, paintMs);
    shots_.Take(app_.Pid(), name);
}

void Session::ReportFailure() {
    Log(L"windows of the program at the failure:\n" + DescribeWindows(app_.Pid()));
    try {
        shots_.Take(app_.Pid(), L"failure");
    } catch (const E2eError& error) {
        Log(error.Message());
    }
}

void WithSession(const std::wstring& exePath, ScreenshotLog& shots, const std::function<void(Session&)>& body) {
    Session session(exePath, shots);
    try {
        body(session);
    } catch (const E2eError&) {
        session.ReportFailure();
        throw;
    }
}
