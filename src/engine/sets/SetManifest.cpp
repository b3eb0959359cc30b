#include "engine/sets/SetManifest.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/input/DataName.h"
#include "files/FileOps.h"
#include "runtime/TextConv.h"

namespace {

std::wstring FoldCase(std::wstring text) {
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsDigest(std::wstring_view text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](wchar_t c) {
               return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
           });
}

}  // namespace

ListRead SetManifest::Read(const std::wstring& path) {
    entries_.clear();
    ListRead read = ReadListFile(path, MaxBytes);
    if (read.state != ListRead::State::Read)
        return read;
    return Decode(read.text, path);
}

ListRead SetManifest::Decode(const std::string& text, const std::wstring& path) {
    entries_.clear();
    ListRead read = DecodeListLines(text, path, [&](const ListLine& line) {
        // "<digest>  <path>" (text mode) or "<digest> *<path>" (binary mode).
        std::wstring_view l = line.text;
        if (l.size() <= 66 || !IsDigest(l.substr(0, 64)) || l[64] != L' ' || (l[65] != L' ' && l[65] != L'*'))
            return false;
        std::optional<DataName> name = DataName::Parse(l.substr(66), DataName::Manifest);
        if (!name)
            return false;
        std::string digest(64, '0');
        std::transform(l.begin(), l.begin() + 64, digest.begin(), [](wchar_t c) { return static_cast<char>(c); });
        // A name listed twice would leave it open which digest is the file's.
        // A safety set's names may stand in its per-user layer's folder: they keep it.
        std::wstring relative = name->Spelled(DataName::Plain);
        return entries_.try_emplace(FoldCase(relative), Entry{relative, std::move(digest)}).second;
    });
    if (!read.Usable())
        entries_.clear();
    return read;
}

const std::string* SetManifest::Find(const std::wstring& relative) const {
    auto found = entries_.find(FoldCase(relative));
    return found == entries_.end() ? nullptr : &found->second.digest;
}

void SetManifest::Set(const std::wstring& relative, std::string digest) {
    entries_[FoldCase(relative)] = {relative, std::move(digest)};
}

std::vector<std::wstring> SetManifest::Paths() const {
    std::vector<std::wstring> paths;
    for (const auto& [key, entry] : entries_)
        paths.push_back(entry.relative);
    return paths;
}

std::string SetManifest::Text() const {
    std::vector<const Entry*> sorted;
    for (const auto& [key, entry] : entries_)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(), [](const Entry* a, const Entry* b) { return a->relative < b->relative; });
    std::string text;
    for (const Entry* entry : sorted) {
        std::wstring path = entry->relative;
        std::replace(path.begin(), path.end(), L'\\', L'/');
        text += entry->digest + "  " + Narrow(path) + "\n";
    }
    return text;
}
