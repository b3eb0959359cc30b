#pragma once
// A failed expectation of an end-to-end run, worded as what the user would have seen.

#include <string>
#include <utility>

class E2eError {
public:
    explicit E2eError(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};
