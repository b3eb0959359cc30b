#include "engine/journal/JobJournal.h"

#include <knownfolders.h>

#include <array>
#include <map>
#include <sstream>
#include <utility>

#include "files/KnownFolder.h"
#include "runtime/TextConv.h"

namespace {

const char kHeader[] = "Backup Tarnwick job journal";

const std::array<std::pair<JobKind, const char*>, 2> kKinds = {{{JobKind::Backup, "backup"}, {JobKind::Restore, "restore"}}};
const std::array<std::pair<JournalStage, const char*>, 4> kStages = {{
    {JournalStage::Copying, "copying"},
    {JournalStage::Swapping, "swapping"},
    {JournalStage::Unswapping, "unswapping"},
    {JournalStage::Committing, "committing"},
}};

template <class Enum, size_t N>
const char* NameOf(const std::array<std::pair<Enum, const char*>, N>& names, Enum value) {
    for (const auto& [known, name] : names) {
        if (known == value)
            return name;
    }
    return "";
}

template <class Enum, size_t N>
bool ValueOf(const std::array<std::pair<Enum, const char*>, N>& names, const std::string& name, Enum& value) {
    for (const auto& [known, text] : names) {
        if (name == text) {
            value = known;
            return true;
        }
    }
    return false;
}

std::string Encode(const JournalEntry& e) {
    std::ostringstream out;
    out << kHeader << "\r\n";
    out << "job=" << NameOf(kKinds, e.kind) << "\r\n";
    out << "stage=" << NameOf(kStages, e.stage) << "\r\n";
    out << "gameFolder=" << Narrow(e.gameFolder) << "\r\n";
    out << "setFolder=" << Narrow(e.setFolder) << "\r\n";
    out << "perUserCopy=" << Narrow(e.perUserCopy) << "\r\n";
    out << "safetySet=" << Narrow(e.safetySet) << "\r\n";
    out << "madeSafetySetRoot=" << (e.madeSafetySetRoot ? "yes" : "no") << "\r\n";
    out << "madeSetFolder=" << (e.madeSetFolder ? "yes" : "no") << "\r\n";
    return out.str();
}

// The lines after the header as key and value; false when the header is not there.
bool Fields(const std::string& text, std::map<std::string, std::string>& fields) {
    std::istringstream in(text);
    std::string line;
    bool header = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!header) {
            header = line == kHeader;
            if (!header)
                return false;
            continue;
        }
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return header;
}

}  // namespace

JobJournal::JobJournal(std::wstring path) : path_(std::move(path)) {}

std::wstring JobJournal::DefaultPath() {
    std::wstring base = KnownFolderPath(FOLDERID_LocalAppData);
    if (base.empty())
        return base;
    return base + L"\\Glimmerfen Studios\\Backup Tarnwick\\job journal.txt";
}

FileResult JobJournal::Write(const JournalEntry& entry) {
    size_t cut = path_.find_last_of(L'\\');
    if (cut != std::wstring::npos) {
        if (FileResult made = MakeFolderPath(path_.substr(0, cut)); !made.Ok())
            return made;
    }
    return WriteFileDurably(path_, Encode(entry));
}

FileResult JobJournal::Remove() {
    DeleteFileW((path_ + L".new").c_str());
    return DeleteTree(path_);
}

JobJournal::Found JobJournal::Read(JournalEntry& entry) const {
    if (!EntryExists(path_))
        return Found::Nothing;
    std::string text;
    std::map<std::string, std::string> f;
    if (!ReadSmallFile(path_, text) || !Fields(text, f))
        return Found::Unreadable;
    JournalEntry read;
    if (!ValueOf(kKinds, f["job"], read.kind) || !ValueOf(kStages, f["stage"], read.stage))
        return Found::Unreadable;
    read.gameFolder = Widen(f["gameFolder"]);
    read.setFolder = Widen(f["setFolder"]);
    if (read.gameFolder.empty() || read.setFolder.empty())
        return Found::Unreadable;
    read.safetySet = Widen(f["safetySet"]);
    if (read.kind == JobKind::Restore && read.safetySet.empty())
        return Found::Unreadable;
    read.perUserCopy = Widen(f["perUserCopy"]);
    read.madeSafetySetRoot = f["madeSafetySetRoot"] == "yes";
    read.madeSetFolder = f["madeSetFolder"] == "yes";
    entry = std::move(read);
    return Found::Entry;
}
