#include "backup/JobWizard.h"

#include "engine/game/GameLocation.h"
#include "runtime/TextConv.h"

std::wstring FinishNote(const JobReport& report, const wchar_t* gameFolderText, const std::wstring& also) {
    std::wstring note;
    if (!report.gameFolder.empty() && !IsUsualGameFolder(report.gameFolder))
        note = FillIn(gameFolderText, {report.gameFolder});
    if (!note.empty() && !also.empty())
        note += L" ";
    return note + also;
}
