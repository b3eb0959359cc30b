#pragma once
// An open registry key that closes itself. Predefined root keys are never closed.

#include <windows.h>

#include <utility>

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Reset(); }
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.key_, nullptr));
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return key_; }
    HKEY* Receive() {
        Reset();
        return &key_;
    }
    explicit operator bool() const { return key_ != nullptr; }

    void Reset(HKEY key = nullptr) {
        if (key_ && !IsPredefined(key_))
            RegCloseKey(key_);
        key_ = key;
    }

    // The predefined keys are sign-extended 32-bit numbers (0xFFFFFFFF80000001 for
    // HKEY_CURRENT_USER on 64-bit), so compare with the constants, not with 0x8000000x.
    static bool IsPredefined(HKEY key) {
        auto value = reinterpret_cast<ULONG_PTR>(key);
        return value >= reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT) &&
               value <= reinterpret_cast<ULONG_PTR>(HKEY_PERFORMANCE_NLSTEXT);
    }

private:
    HKEY key_ = nullptr;
};
