#include "engine/SetManifest.h"

#include <windows.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "files/FileOps.h"
#include "runtime/TextConv.h"

const wchar_t SetManifest::FileName[] = L"Tarnwick set contents.sha256";

namespace {

std::wstring FoldCase(std::wstring text) {
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsDigest(const std::string& text) {
    return text.size() == 64 &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

bool SetManifest::Read(const std::wstring& path) {
    entries_.clear();
    std::string text;
    if (!ReadWholeFile(path, text))
        return false;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        // "<digest>  <path>" (text mode) or "<digest> *<path>" (binary mode).
        std::string digest = line.substr(0, 64);
        if (!IsDigest(digest) || line.size() < 67 || line[64] != ' ' || (line[65] != ' ' && line[65] != '*')) {
            entries_.clear();
            return false;
        }
        std::wstring relative = Widen(line.substr(66));
        std::replace(relative.begin(), relative.end(), L'/', L'\\');
        Set(relative, digest);
    }
    return true;
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
