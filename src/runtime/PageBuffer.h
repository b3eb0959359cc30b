#pragma once
// A buffer of whole pages, page-aligned (VirtualAlloc): the copy's pieces, which the
// system may then hand to the file system without copying them into place first.

#include <windows.h>

#include <cstddef>
#include <new>

class PageBuffer {
public:
    explicit PageBuffer(std::size_t bytes)
        : data_(static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {
        if (!data_)
            throw std::bad_alloc();
    }
    ~PageBuffer() {
        if (data_)
            VirtualFree(data_, 0, MEM_RELEASE);
    }
    PageBuffer(PageBuffer&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
    PageBuffer& operator=(PageBuffer&&) = delete;
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    char* Data() const { return data_; }

private:
    char* data_;
};
