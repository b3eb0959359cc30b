#include "engine/staging/ChangePlan.h"

#include "runtime/AppError.h"

namespace {

// A name the job found in a tree, checked as any name of a list is: an entry that a list
// could not name again is not staged at all.
DataName Checked(const std::wstring& relative, const DataName::Syntax& syntax = DataName::Plain) {
    std::optional<DataName> name = DataName::Parse(relative, syntax);
    if (!name)
        throw AppError::FromWin32(ERROR_INVALID_NAME, L"ChangePlan");
    return std::move(*name);
}

}  // namespace

ChangePlan::ChangePlan(std::vector<SwapLayer> layers) : layers_(std::move(layers)), stagedBytes_(layers_.size()) {
    for (const SwapLayer& layer : layers_)
        longStaging_.push_back(LongPath(layer.staging));
}

std::wstring ChangePlan::Staged(int layer, const std::wstring& relative) const {
    return longStaging_.at(static_cast<size_t>(layer)) + L"\\" + relative;
}

std::size_t ChangePlan::Add(CopyItem item, const std::wstring& name) {
    if (!item.folder) {
        ++files_;
        bytes_ += item.size;
    }
    items_.push_back(std::move(item));
    names_.push_back(name);
    return items_.size() - 1;
}

void ChangePlan::StageParents(int layer, const std::wstring& relative, const std::wstring& source) {
    std::wstring key = std::to_wstring(layer) + L"\\";
    if (stagedFolders_.insert(key).second)
        Add({source, longStaging_.at(static_cast<size_t>(layer)), 0, true}, L"");
    for (size_t cut = relative.find(L'\\'); cut != std::wstring::npos; cut = relative.find(L'\\', cut + 1)) {
        std::wstring parent = relative.substr(0, cut);
        if (stagedFolders_.insert(key + parent).second)
            Add({source, Staged(layer, parent), 0, true}, parent);
    }
}

std::size_t ChangePlan::StageFile(int layer, const std::wstring& relative, const std::wstring& source,
                                  std::uint64_t size, bool hash, bool within) {
    StageParents(layer, relative, source);
    stagedBytes_.at(static_cast<size_t>(layer)) += size;
    if (!within)
        swaps_.push_back({SwapEntry::Kind::Put, layer, Checked(relative)});
    return Add({source, Staged(layer, relative), size, false, hash}, relative);
}

std::size_t ChangePlan::StageLink(int layer, const std::wstring& relative, const std::wstring& source,
                                  const std::wstring& linkTo, std::uint64_t size, bool within) {
    StageParents(layer, relative, source);
    if (!within)
        swaps_.push_back({SwapEntry::Kind::Put, layer, Checked(relative)});
    CopyItem item{source, Staged(layer, relative), size, false, false};
    item.linkTo = linkTo;
    return Add(std::move(item), relative);
}

void ChangePlan::StageFolder(int layer, const std::wstring& relative, const std::wstring& source, bool within) {
    StageParents(layer, relative, source);
    stagedFolders_.insert(std::to_wstring(layer) + L"\\" + relative);
    if (!within)
        swaps_.push_back({SwapEntry::Kind::Put, layer, Checked(relative)});
    Add({source, Staged(layer, relative), 0, true}, relative);
}

void ChangePlan::StagedByJob(int layer, const std::wstring& relative) {
    swaps_.push_back({SwapEntry::Kind::Put, layer, Checked(relative, DataName::BackupSwap)});
}

void ChangePlan::Remove(int layer, const DataName& name) { swaps_.push_back({SwapEntry::Kind::Remove, layer, name}); }

std::size_t ChangePlan::Read(const std::wstring& relative, const std::wstring& source, std::uint64_t size) {
    return Add({source, std::wstring(), size, false, true}, relative);
}

FileResult ChangePlan::CheckStaged() const {
    for (const CopyItem& item : items_) {
        if (!item.destination.empty() && !EntryExists(item.destination))
            return FileResult::Failure(ERROR_FILE_NOT_FOUND, item.destination);
    }
    return FileResult::Success();
}
