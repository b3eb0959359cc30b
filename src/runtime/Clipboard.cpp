#include "runtime/Clipboard.h"

#include <cstring>

#include "runtime/Handles.h"

namespace {

// Open for the lifetime of the object. Another program may hold the clipboard for a
// moment, so opening is tried a few times before giving up.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != FALSE;
            if (!open_)
                Sleep(20);
        }
    }
    ~OpenClipboardScope() {
        if (open_)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool Open() const { return open_; }

private:
    bool open_ = false;
};

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
    OpenClipboardScope clipboard(owner);
    if (!clipboard.Open() || !EmptyClipboard())
        return false;
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* data = GlobalLock(memory.Get());
    if (!data)
        return false;
    std::memcpy(data, text.c_str(), bytes);
    GlobalUnlock(memory.Get());
    if (!SetClipboardData(CF_UNICODETEXT, memory.Get()))
        return false;
    memory.Release();  // the clipboard owns it now
    return true;
}

std::wstring TextOnClipboard() {
    OpenClipboardScope clipboard(nullptr);
    if (!clipboard.Open())
        return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return {};
    auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text)
        return {};
    std::wstring copy(text);
    GlobalUnlock(data);
    return copy;
}
