#include "backup/clsBackup.h"

#include "backup/clsTrnwck.h"
#include "registry/RegistryEditor.h"
#include "runtime/DoEvents.h"

namespace {

constexpr ButtonRow OnlyCancel{Btn::Off, Btn::On, Btn::Off, Btn::Off};

}  // namespace

void clsBackup::Backup() {
    if (!wizard_) {
        YieldThreeTimes();
        return;
    }
    WizardFrame& frame = wizard_->Frame();
    // The step is read afresh at each test: the copy below moves the wizard on. The
    // job writes the set's marker itself once the copy is whole, before the wizard
    // reaches its finish panel.
    if (frame.Step() == 3) {
        frame.ApplyRow(OnlyCancel);
        DoEvents();
        clsTrnwck().BackupTrnwck(*wizard_, setFolder_);
    }
    YieldThreeTimes();
    if (frame.Step() == 4)
        frame.ApplyRow(OnlyCancel);
}

void clsBackup::RegBackup(const std::wstring& strRegfile, const std::wstring& strReg) {
    StartRegistryExport(strRegfile, strReg);
}

RegistryValue clsBackup::GetDefaultWP() { return GetDefaultWordProcessor(); }
