#pragma once
// The program's ownership kit: owners of handles that close themselves on every path
// out of a scope, and a callable that runs when a scope ends.

#include <windows.h>
#include <objbase.h>
#include <shtypes.h>

#include <type_traits>
#include <utility>

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.h_, Traits::Invalid()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return h_; }
    bool Valid() const { return h_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }
    Handle Release() { return std::exchange(h_, Traits::Invalid()); }
    // The address an API fills with a new handle; whatever was held is closed first.
    Handle* Receive() {
        Reset();
        return &h_;
    }
    void Reset(Handle h = Traits::Invalid()) {
        if (Valid())
            Traits::Close(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};

// Registry keys. The predefined roots (HKEY_CURRENT_USER and the rest) belong to the
// system: an owner may hold one, but never closes it.
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) {
        if (!IsPredefined(h))
            RegCloseKey(h);
    }
    // The predefined keys are sign-extended 32-bit numbers (0xFFFFFFFF80000001 for
    // HKEY_CURRENT_USER on 64-bit), so compare with the constants, not with 0x8000000x.
    static bool IsPredefined(Handle h) {
        auto value = reinterpret_cast<ULONG_PTR>(h);
        return value >= reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT) &&
               value <= reinterpret_cast<ULONG_PTR>(HKEY_PERFORMANCE_NLSTEXT);
    }
};

// Memory that COM and the shell hand out with CoTaskMemAlloc: strings, and the item id
// lists of the shell (ILFree is CoTaskMemFree).
template <class T>
struct TaskMemoryTraits {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle p) { CoTaskMemFree(p); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;  // processes, events
using FileHandle = UniqueHandle<FileHandleTraits>;      // CreateFileW
using FindHandle = UniqueHandle<FindHandleTraits>;      // FindFirstFileW
using GdiObject = UniqueHandle<GdiObjectTraits>;        // fonts, brushes
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;  // clipboard data before hand-over
using RegKey = UniqueHandle<RegKeyTraits>;              // RegOpenKeyExW, RegConnectRegistryW
using TaskString = UniqueHandle<TaskMemoryTraits<wchar_t>>;                       // SHGetKnownFolderPath
using ItemIdList = UniqueHandle<TaskMemoryTraits<std::remove_pointer_t<PIDLIST_ABSOLUTE>>>;  // SHBrowseForFolderW

// Runs the callable once when the scope ends, on every path out of it, unless
// dismissed before.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (armed_)
            f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void Dismiss() { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};
