#include "files/FileOps.h"

FileResult CopyOneFile(const std::wstring& source, const std::wstring& destination) {
    if (CopyFileW(source.c_str(), destination.c_str(), FALSE))
        return FileResult::Success();
    return FileResult::Failure(GetLastError(), source);
}
