#include "engine/jobs/RestoreChoice.h"

#include <windows.h>

namespace {

// Names compare as the file system compares them: without case.
std::wstring Folded(std::wstring text) {
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// above is below's folder, or one further up.
bool IsBelow(const std::wstring& below, const std::wstring& above) {
    return below.size() > above.size() && below[above.size()] == L'\\' && below.compare(0, above.size(), above) == 0;
}

}  // namespace

RestoreChoice::RestoreChoice(std::vector<DataName> names) : names_(std::move(names)) {
    for (const DataName& name : names_)
        folded_.push_back(Folded(name.Relative()));
}

std::optional<RestoreChoice> RestoreChoice::Parse(const std::vector<std::wstring>& texts, std::wstring& bad) {
    std::vector<DataName> names;
    for (const std::wstring& text : texts) {
        std::wstring_view name = text;
        if (name.size() > 1 && name.back() == L'\\')
            name.remove_suffix(1);
        std::optional<DataName> parsed = DataName::Parse(name);
        if (!parsed) {
            bad = text;
            return std::nullopt;
        }
        names.push_back(std::move(*parsed));
    }
    if (names.empty())
        return std::nullopt;
    return RestoreChoice(std::move(names));
}

bool RestoreChoice::Takes(const std::wstring& rel) const {
    if (All())
        return true;
    const std::wstring folded = Folded(rel);
    for (const std::wstring& name : folded_) {
        if (folded == name || IsBelow(folded, name))
            return true;
    }
    return false;
}

bool RestoreChoice::Leads(const std::wstring& rel) const {
    if (All())
        return false;
    const std::wstring folded = Folded(rel);
    for (const std::wstring& name : folded_) {
        if (IsBelow(name, folded))
            return true;
    }
    return false;
}
