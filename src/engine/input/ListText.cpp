#include "engine/input/ListText.h"

#include <windows.h>

#include <string_view>

#include "files/FileOps.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

const std::size_t kShownChars = 80;

// The UTF-8 bytes as text; false for bytes that are not UTF-8.
bool DecodeUtf8(std::string_view bytes, std::wstring& text) {
    text.resize(bytes.size());  // UTF-8 never takes fewer bytes than UTF-16 takes characters
    int got = bytes.empty() ? 0
                            : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                  static_cast<int>(bytes.size()), text.data(),
                                                  static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(got));
    return got > 0 || bytes.empty();
}

// How many bytes the UTF-8 sequence that starts with lead takes; 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

std::wstring Escaped(unsigned char byte) {
    const wchar_t* digits = L"0123456789ABCDEF";
    return {L'\\', L'x', digits[byte >> 4], digits[byte & 15]};
}

// A line as a person can read it: printable text as it is, each control byte and each byte
// that is not valid UTF-8 as \xNN, and no more than kShownChars characters of it.
std::wstring ShownLine(std::string_view raw) {
    std::wstring shown;
    std::size_t chars = 0;
    for (std::size_t at = 0; at < raw.size(); ++chars) {
        if (chars == kShownChars)
            return shown + L"...";
        const auto byte = static_cast<unsigned char>(raw[at]);
        if (byte < 0x80) {
            shown += byte >= 0x20 && byte != 0x7F ? std::wstring(1, static_cast<wchar_t>(byte)) : Escaped(byte);
            ++at;
            continue;
        }
        std::wstring decoded;
        std::size_t length = SequenceLength(byte);
        // C1 control characters (U+0080 to U+009F) are shown by their bytes too.
        if (length && DecodeUtf8(raw.substr(at, length), decoded) && !decoded.empty() &&
            (decoded[0] < 0x80 || decoded[0] > 0x9F)) {
            shown += decoded;
            at += length;
            continue;
        }
        shown += Escaped(byte);
        ++at;
    }
    return shown;
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
        const std::string_view raw(text.data() + start, end - start);
        bool utf8 = DecodeUtf8(raw, line.text);
        start = next;
        if (raw.empty() || !utf8 || !take(line))
            return ListRead::RefusedAt({path, line.number, ShownLine(raw)});
    }
    return ListRead::Taken();
}
