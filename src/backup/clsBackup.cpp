#include "backup/clsBackup.h"

#include "backup/BackupMarker.h"
#include "backup/clsTrnwck.h"
#include "backup/frmBackup.h"
#include "registry/RegistryEditor.h"
#include "runtime/DoEvents.h"
#include "runtime/ProcessState.h"
#include "ui/Controls.h"

namespace {

constexpr ButtonRow OnlyCancel{Btn::Off, Btn::On, Btn::Off, Btn::Off};

}  // namespace

void clsBackup::Backup() {
    clsTrnwck trnwck;
    frmBackup& wizard = frmBackup::Instance();
    // BackupStep is read afresh at each test: the copy below moves the wizard on.
    if (BackupStep == 3) {
        wizard.ApplyRow(OnlyCancel);
        DoEvents();
        trnwck.BackupTrnwck();
    }
    DoEvents();
    DoEvents();
    DoEvents();
    if (BackupStep == 4)
        wizard.ApplyRow(OnlyCancel);
    if (BackupStep == 5)
        WriteMarker();
}

void clsBackup::WriteMarker() {
    frmBackup& wizard = frmBackup::Instance();
    // A set whose copy is not whole gets no marker, so it is never offered for a restore.
    if (wizard.SetIncomplete())
        return;
    std::wstring markerPath = MarkerPathToday(GetText(wizard.text1()));
    WriteMarkerVersion(markerPath);
    WriteMarkerLocation(markerPath, GetText(wizard.text1()));
}

void clsBackup::RegBackup(const std::wstring& strRegfile, const std::wstring& strReg) {
    StartRegistryExport(strRegfile, strReg);
}

RegistryValue clsBackup::GetDefaultWP() { return GetDefaultWordProcessor(); }
