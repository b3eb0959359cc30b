#pragma once
// Every event handler a user can trigger runs inside RunEventHandler: a failure that
// no operation below handled ends the program with the standard report (a message
// box with the failure's number and text) instead of leaving it in a broken state.

#include <exception>
#include <string>
#include <utility>

#include "runtime/AppError.h"

// Shows the report of an unhandled failure, then ends the program.
[[noreturn]] void ReportUnhandledFailure(long number, const std::wstring& description);

// The report's text, e.g. "Run-time error '3':\n\nThe system cannot find the path specified."
std::wstring UnhandledFailureText(long number, const std::wstring& description);

[[noreturn]] void ReportUnhandledException(std::exception_ptr failure);

template <class Handler>
void RunEventHandler(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception&) {
        ReportUnhandledException(std::current_exception());
    }
}
