#pragma once
// The program's error: a number, the source that raised it and a description.
// Failures that an operation passes on to its caller travel as this type; one that
// reaches a window's event handler unhandled ends the program with a report.

#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
public:
    AppError(long number, std::wstring source, std::wstring description);

    long Number() const { return number_; }
    const std::wstring& Source() const { return source_; }
    const std::wstring& Description() const { return description_; }

    // A platform failure: the Windows error code with the system's own text for it.
    static AppError FromWin32(unsigned long code, std::wstring source);

private:
    long number_;
    std::wstring source_;
    std::wstring description_;
};

// Raises the calling thread's last Windows error as an AppError.
[[noreturn]] void ThrowLastError(const std::wstring& source);

// The system's message text for a Windows error code, without the trailing line end.
std::wstring SystemErrorText(unsigned long code);
