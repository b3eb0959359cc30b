#include "engine/CopySteps.h"

#include "files/FileOps.h"
#include "files/MFile.h"

void CopyFolderInto(const std::wstring& source, const std::wstring& destination, JobReport& report) {
    CopyFolderResult result = CopyFolder(source, destination);
    if (result.whole)
        report.copiedFolders.push_back(source);
    else
        report.folderFailures.push_back({source, result.firstDifference, ERROR_SUCCESS});
}

void CopyConfigFile(const std::wstring& source, const std::wstring& destination, JobReport& report) {
    FileResult result = CopyOneFile(source, destination);
    if (result.Ok()) {
        report.config = ConfigCopy::Copied;
        return;
    }
    bool missing = result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND;
    report.config = missing ? ConfigCopy::Missing : ConfigCopy::Failed;
    report.configFailure = {source, source, result.error};
}
