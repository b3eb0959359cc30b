#include "engine/ListText.h"

#include <windows.h>

#include "files/FileOps.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

const std::size_t kShownChars = 200;

// The line's text; false for bytes that are not UTF-8 (text then shows them replaced).
bool DecodeUtf8(const char* bytes, size_t size, std::wstring& text) {
    text.resize(size);  // UTF-8 never takes fewer bytes than UTF-16 takes characters
    int got = size == 0 ? 0
                        : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), text.data(),
                                              static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(got));
    if (got > 0 || size == 0)
        return true;
    text = Widen(std::string(bytes, size));
    return false;
}

}  // namespace

ListRead ReadListFile(const std::wstring& path, std::size_t limit) {
    ListRead read;
    // The link itself is opened, never what it leads to.
    FileHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return read;
        read.state = ListRead::State::Unreadable;
        read.error = error;
        return read;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        read.state = ListRead::State::Unreadable;
        read.error = GetLastError();
        return read;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        read.state = ListRead::State::Refused;
        read.refused = RefusedInput::Link(path);
        return read;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        read.state = ListRead::State::Unreadable;
        read.error = ERROR_DIRECTORY;
        return read;
    }
    std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > limit) {
        read.state = ListRead::State::Refused;
        read.refused = {path, 1, FillIn(texts::ListTooLarge, {std::to_wstring(size)})};
        return read;
    }
    read.text.resize(static_cast<size_t>(size));
    DWORD done = 0;
    if (!read.text.empty() &&
        (!ReadFile(file.Get(), read.text.data(), static_cast<DWORD>(read.text.size()), &done, nullptr) ||
         done != read.text.size())) {
        read.state = ListRead::State::Unreadable;
        read.error = done != read.text.size() && GetLastError() == ERROR_SUCCESS ? ERROR_HANDLE_EOF : GetLastError();
        return read;
    }
    read.state = ListRead::State::Read;
    return read;
}

ListRead DecodeListLines(const std::string& text, const std::wstring& path,
                         const std::function<bool(const ListLine&)>& take) {
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        if (end > start && text[end - 1] == '\r')
            --end;
        ListLine line{++number, {}};
        bool utf8 = DecodeUtf8(text.data() + start, end - start, line.text);
        bool empty = end == start;
        start = next;
        if (empty || !utf8 || !take(line))
            return ListRead::RefusedAt(RefusedLine(path, line));
    }
    return ListRead::Taken();
}

RefusedInput RefusedLine(const std::wstring& path, const ListLine& line) {
    std::wstring shown;
    for (wchar_t c : line.text.substr(0, kShownChars))
        shown += c < 0x20 || c == 0x7F ? L'?' : c;
    if (line.text.size() > kShownChars)
        shown += L"...";
    return {path, line.number, shown};
}
