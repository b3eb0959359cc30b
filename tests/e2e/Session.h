#pragma once
// One run of the program under test: waits that never hang, message boxes answered only
// when they are expected, screenshots, and a report of the screen when something fails.

#include <deque>
#include <functional>
#include <string>

#include "AppProcess.h"
#include "Screenshot.h"
#include "UiDriver.h"

inline constexpr DWORD kStepTimeoutMs = 30000;     // one screen to the next
inline constexpr DWORD kCopyTimeoutMs = 180000;    // a whole backup or restore

class Session {
public:
    Session(const std::wstring& exePath, ScreenshotLog& shots);
    DWORD Pid() const { return app_.Pid(); }

    // The next message box must show this text; it is answered with the button.
    void ExpectMessage(const std::wstring& text, int buttonId = IDOK);
    bool AllExpectedShown() const { return expected_.empty(); }
    // Waits until the condition holds. Fails at once when the program ends or shows a message
    // box that is not expected (answering, with a screenshot, those that are), and when time is up.
    void Wait(const std::wstring& what, const std::function<bool()>& condition, DWORD timeoutMs = kStepTimeoutMs,
              DWORD pollMs = 10);
    HWND WaitForTopWindow(const std::wstring& what, const WindowPredicate& predicate,
                          DWORD timeoutMs = kStepTimeoutMs);
    // The program must end now (after Finish or Cancel), with every expected message shown.
    void ExpectEnd(const std::wstring& after);
    // Ends the program at once, as End task or a power cut ends it (TerminateProcess).
    void Kill();

    // A screenshot of the program's windows once it has handled what is pending and painted
    // (given that long after its next yield).
    void Shot(const std::wstring& name, HWND settleWindow = nullptr, DWORD paintMs = 150);
    // Logs the windows on the screen and takes a last screenshot.
    void ReportFailure();

private:
    void AnswerOrFail(HWND box);

    AppProcess app_;
    ScreenshotLog& shots_;
    struct Answer {
        std::wstring text;
        int buttonId;
    };
    std::deque<Answer> expected_;
};

// Runs the body against a fresh start of the program; on failure reports the screen,
// ends the program and passes the failure on.
void WithSession(const std::wstring& exePath, ScreenshotLog& shots, const std::function<void(Session&)>& body);
