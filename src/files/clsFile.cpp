#include "files/clsFile.h"

#include <windows.h>

#include "files/FileChannels.h"
#include "files/clsFileSystem.h"
#include "runtime/TextConv.h"

namespace {

std::string Encode(const std::wstring& text) {
    if (text.empty())
        return {};
    if (!FitsAnsiCodePage(text))
        return "\xEF\xBB\xBF" + Narrow(text);
    int len = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string bytes(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), len, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace

void clsFile::FileWrite(const std::wstring& strFileName, const std::wstring& strText) const {
    FileChannels::Scope channel(FileChannels::OpenForOutput(strFileName));
    FileChannels::Write(channel.Get(), Encode(strText) + "\r\n");
}

std::wstring clsFile::LastChar(const std::wstring& strText) const { return clsFileSystem().LastChar(strText); }

std::wstring clsFile::sRemoveLastChar(std::wstring sPassString) const {
    return clsFileSystem().sRemoveLastChar(std::move(sPassString));
}
