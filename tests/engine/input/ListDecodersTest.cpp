// The lists a job reads back from a folder it does not own, decoded strictly: the name
// type against a table of names, each decoder against crafted lists, and a seeded loop of
// random and mutated input through every decoder.

#include <windows.h>

#include <optional>
#include <random>

#include "GameData.h"
#include "TestSupport.h"
#include "engine/input/DataName.h"
#include "engine/journal/JobRecovery.h"
#include "engine/sets/SafetySets.h"
#include "engine/sets/SetManifest.h"
#include "engine/staging/StagedSwap.h"
#include "runtime/TextConv.h"

namespace {

using Syntax = DataName::Syntax;

const std::string kDigest(64, 'a');

struct NameCase {
    std::wstring text;
    Syntax syntax;
    const wchar_t* relative;  // nullptr: refused
    bool perUserLayer = false;
};

std::wstring Repeat(const std::wstring& part, size_t times) {
    std::wstring text = L"saves";
    for (size_t i = 0; i < times; ++i)
        text += L"\\" + part;
    return text;
}

TEST(DataNameTest, OnlyNamesInsideTheGameDataAreMade) {
    const std::wstring a255(255, L'a');
    const NameCase cases[] = {
        {L"saves\\slot 1\\game.sav", DataName::Plain, L"saves\\slot 1\\game.sav"},
        {L"SAVES\\Slot \u00e9\u4e2d.sav", DataName::Plain, L"SAVES\\Slot \u00e9\u4e2d.sav"},
        {L"maps", DataName::Plain, L"maps"},
        {L"scores\\seasons\\s1.scr", DataName::Plain, L"scores\\seasons\\s1.scr"},
        {L"tarnwick.cfg", DataName::Plain, L"tarnwick.cfg"},
        {L"saves\\console.txt", DataName::Plain, L"saves\\console.txt"},
        {L"saves\\NULL", DataName::Plain, L"saves\\NULL"},
        {L"saves\\" + a255, DataName::Plain, nullptr},  // made below with its own expectation
        // Outside the game's data.
        {L"", DataName::Plain, nullptr},
        {L"other\\x.sav", DataName::Plain, nullptr},
        {L"tarnwick.cfg\\x", DataName::Plain, nullptr},
        {L"..\\..\\..\\victim\\secret.txt", DataName::Plain, nullptr},
        {L"saves\\..\\..\\..\\..\\victim\\secret.txt", DataName::Plain, nullptr},
        {L"saves\\.", DataName::Plain, nullptr},
        {L"saves\\\\x", DataName::Plain, nullptr},
        {L"saves\\", DataName::Plain, nullptr},
        {L"C:\\victim\\secret.txt", DataName::Plain, nullptr},
        {L"\\\\?\\C:\\victim\\keep", DataName::Plain, nullptr},
        {L"\\\\.\\C:\\saves", DataName::Plain, nullptr},
        {L"\\\\server\\share\\saves", DataName::Plain, nullptr},
        {L"C:saves", DataName::Plain, nullptr},
        {L"\\saves", DataName::Plain, nullptr},
        {L"/saves", DataName::Plain, nullptr},
        {L"saves/x.sav", DataName::Plain, nullptr},
        // Streams, devices, wildcards, control characters, trailing dots and spaces.
        {L"saves\\a:b", DataName::Plain, nullptr},
        {L"saves\\con.txt", DataName::Plain, nullptr},
        {L"saves\\CON", DataName::Plain, nullptr},
        {L"saves\\con .txt", DataName::Plain, nullptr},
        {L"saves\\lpt1", DataName::Plain, nullptr},
        {L"saves\\Com9.sav", DataName::Plain, nullptr},
        {L"saves\\com\u00b9", DataName::Plain, nullptr},
        {L"saves\\aux\\x", DataName::Plain, nullptr},
        {L"saves\\a*b", DataName::Plain, nullptr},
        {L"saves\\a?b", DataName::Plain, nullptr},
        {L"saves\\a|b", DataName::Plain, nullptr},
        {L"saves\\a\"b", DataName::Plain, nullptr},
        {std::wstring(L"saves\\a\0b", 9), DataName::Plain, nullptr},
        {L"saves\\a\rb", DataName::Plain, nullptr},
        {L"saves\\a\tb", DataName::Plain, nullptr},
        {L"saves\\x.", DataName::Plain, nullptr},
        {L"saves\\x ", DataName::Plain, nullptr},
        // Long-path limits.
        {L"saves\\" + a255 + L"a", DataName::Plain, nullptr},
        {L"saves\\" + std::wstring(40000, L'a'), DataName::Plain, nullptr},
        {Repeat(a255, DataName::MaxChars / 256 + 1), DataName::Plain, nullptr},
        // The manifest's syntax.
        {L"saves/slot 1/game.sav", DataName::Manifest, L"saves\\slot 1\\game.sav"},
        {L"saves\\game.sav", DataName::Manifest, nullptr},
        {L"../victim/secret.txt", DataName::Manifest, nullptr},
        {L"/saves/x", DataName::Manifest, nullptr},
        // The per-user layer, only where the list allows it.
        {L"Per-user copy (VirtualStore)\\saves\\x.sav", DataName::AddedList, L"saves\\x.sav", true},
        {L"Per-user copy (VirtualStore)\\saves\\x.sav", DataName::Plain, nullptr},
        {L"Per-user copy (VirtualStore)", DataName::AddedList, nullptr},
        {L"Per-user copy (VirtualStore)\\..\\x", DataName::AddedList, nullptr},
        {L"saves\\Per-user copy (VirtualStore)", DataName::AddedList, L"saves\\Per-user copy (VirtualStore)"},
        // The set's own files, only in a backup's swap list.
        {L"Tarnwick set contents.sha256", DataName::BackupSwap, L"Tarnwick set contents.sha256"},
        {L"Tarnwick_2026.12.08.BAK", DataName::BackupSwap, L"Tarnwick_2026.12.08.BAK"},
        {L"Tarnwick_2026.12.08.BAK", DataName::Plain, nullptr},
        {L"Tarnwick_20x6.12.08.BAK", DataName::BackupSwap, nullptr},
        {L"Tarnwick_2026.12.08.BAK\\x", DataName::BackupSwap, nullptr},
        {L"saves\\Tarnwick set contents.sha256", DataName::Plain, L"saves\\Tarnwick set contents.sha256"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(Narrow(c.text.substr(0, 80)));
        std::optional<DataName> name = DataName::Parse(c.text, c.syntax);
        if (c.text == L"saves\\" + a255) {
            ASSERT_TRUE(name);  // a part of 255 characters is the most a file system takes
            continue;
        }
        ASSERT_EQ(name.has_value(), c.relative != nullptr);
        if (!name)
            continue;
        EXPECT_EQ(name->Relative(), c.relative);
        EXPECT_EQ(name->InPerUserLayer(), c.perUserLayer);
        EXPECT_EQ(name->Spelled(c.syntax), c.text);
    }
    EXPECT_TRUE(DataName::Parse(Repeat(a255, DataName::MaxChars / 256 - 1)));
}

// ---- Each decoder against crafted lists ------------------------------------------

enum class List { Manifest, BackupSwap, RestoreSwap, Added };

// Decodes text as that list; the number of entries taken, or the line refused (negated).
struct Decoded {
    ListRead read;
    std::vector<std::wstring> names;  // what was taken, spelled below its tree
};

Decoded Decode(List list, const std::string& text) {
    Decoded d;
    switch (list) {
    case List::Manifest: {
        SetManifest manifest;
        d.read = manifest.Decode(text, L"manifest");
        d.names = manifest.Paths();
        break;
    }
    case List::BackupSwap:
    case List::RestoreSwap: {
        std::vector<SwapEntry> entries;
        bool backup = list == List::BackupSwap;
        d.read = StagedSwap::Decode(text, L"swap list", backup ? 1 : 2, backup ? DataName::BackupSwap : DataName::Plain,
                                    entries);
        for (const SwapEntry& e : entries)
            d.names.push_back(e.name.Relative());
        break;
    }
    case List::Added: {
        std::vector<DataName> added;
        d.read = DecodeAddedList(text, L"added", added);
        for (const DataName& n : added)
            d.names.push_back(n.Relative());
        break;
    }
    }
    return d;
}

struct ListCase {
    const char* name;
    List list;
    std::string text;
    size_t refusedLine;  // 0: taken whole
    size_t taken = 0;
};

TEST(ListDecodersTest, OneBadLineRefusesTheWholeList) {
    const std::string d = kDigest + "  ";
    const ListCase cases[] = {
        {"a manifest as sha256sum writes it", List::Manifest, d + "saves/a.sav\n" + d + "tarnwick.cfg\n", 0, 2},
        {"a manifest in binary mode, CRLF", List::Manifest, kDigest + " *saves/a.sav\r\n", 0, 1},
        {"an empty manifest", List::Manifest, "", 0, 0},
        {"a manifest naming a file outside the set", List::Manifest, d + "saves/a.sav\n" + d + "../victim/secret.txt\n", 2},
        {"a manifest with a name listed twice", List::Manifest, d + "saves/a.sav\n" + d + "SAVES/A.sav\n", 2},
        {"a manifest not in UTF-8", List::Manifest, d + "saves/\xff\xfe.sav\n", 1},
        {"a manifest with a short digest", List::Manifest, std::string(63, 'a') + "  saves/a.sav\n", 1},
        {"a manifest with an upper-case digest", List::Manifest, std::string(64, 'A') + "  saves/a.sav\n", 1},
        {"a manifest with an empty line", List::Manifest, d + "saves/a.sav\n\n" + d + "saves/b.sav\n", 2},
        {"a manifest line with a lone CR", List::Manifest, d + "saves/a\rb.sav\n", 1},
        {"a manifest of text", List::Manifest, "hello\n", 1},
        {"a backup's swap list", List::BackupSwap, "+0 saves\n+0 Tarnwick set contents.sha256\n+0 Tarnwick_2026.12.08.BAK\n", 0, 3},
        {"a backup's swap list taking a file from outside", List::BackupSwap, "+0 saves\\a\n-0 ..\\victim2\\s2.txt\n", 2},
        {"a backup's swap list with a second layer", List::BackupSwap, "+1 saves\n", 1},
        {"a restore's swap list, of this release and an earlier one", List::RestoreSwap,
         "+0 saves\\a.sav\n>1 maps\n*0 tarnwick.cfg\n-0 scores\\x.scr\n", 0, 4},
        {"a restore's swap list naming a marker", List::RestoreSwap, "+0 Tarnwick_2026.12.08.BAK\n", 1},
        {"a restore's swap list with a third layer", List::RestoreSwap, "+2 saves\n", 1},
        {"a swap list of another kind of line", List::RestoreSwap, "=0 saves\n", 1},
        {"a swap list entry without a name", List::RestoreSwap, "+0 \n", 1},
        {"a list of added files", List::Added, "saves\\new.sav\r\nPer-user copy (VirtualStore)\\maps\\m.map\r\n", 0, 2},
        {"a list of added files climbing out", List::Added, "saves\\new.sav\r\nmaps\r\n..\\..\\..\\victim\\secret.txt\r\n", 3},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = Decode(c.list, c.text);
        if (c.refusedLine == 0) {
            EXPECT_EQ(d.read.state, ListRead::State::Read);
            EXPECT_EQ(d.names.size(), c.taken);
            continue;
        }
        EXPECT_EQ(d.read.state, ListRead::State::Refused);
        EXPECT_EQ(d.read.refused.line, c.refusedLine);
        EXPECT_TRUE(d.names.empty()) << "a refused list is acted on in part";
    }
}

// A refused line is quoted as a person can read it: short, every control byte and every
// byte that is not UTF-8 escaped, what is valid text left as it is.
TEST(ListDecodersTest, ARefusedLineIsShownShortAndReadable) {
    const struct {
        std::string line;
        std::wstring shown;
    } cases[] = {
        {"saves\\a\x01" "b", L"saves\\a\\x01b"},
        {"saves\\\xff\xfe.sav", L"saves\\\\xFF\\xFE.sav"},
        {"saves\\\xce\xa9mega\t.sav\x7f", L"saves\\\u03a9mega\\x09.sav\\x7F"},
        {"saves\\\xe2\x82", L"saves\\\\xE2\\x82"},  // a sequence cut short
        {"saves\\\xc2\x85|", L"saves\\\\xC2\\x85|"},  // a C1 control character
        {"saves\\" + std::string(40000, 'a') + "\x01", L"saves\\" + std::wstring(74, L'a') + L"..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 40));
        Decoded d = Decode(List::Added, c.line + "\n");
        ASSERT_EQ(d.read.state, ListRead::State::Refused);
        EXPECT_EQ(d.read.refused.text, c.shown) << Narrow(d.read.refused.text);
    }
}

// ---- Random and mutated input through every decoder ------------------------------

// An oracle of its own, not the name type: what a taken name must look like.
bool StaysInside(const std::wstring& relative) {
    if (relative.empty() || relative.find(L':') != std::wstring::npos || relative.find(L'/') != std::wstring::npos)
        return false;
    std::vector<std::wstring> parts;
    for (size_t start = 0;;) {
        size_t cut = relative.find(L'\\', start);
        parts.push_back(relative.substr(start, cut - start));
        if (cut == std::wstring::npos)
            break;
        start = cut + 1;
    }
    for (const std::wstring& part : parts) {
        if (part.empty() || part == L"." || part == L"..")
            return false;
        for (wchar_t c : part) {
            if (c < 0x20)
                return false;
        }
    }
    const std::wstring top = LowerCase(parts.front());
    return top == L"saves" || top == L"maps" || top == L"scores" || top == L"tarnwick.cfg" ||
           top == L"tarnwick set contents.sha256" || top.rfind(L"tarnwick_", 0) == 0;
}

std::string Mutate(std::string text, std::mt19937& random) {
    // The empty piece stands for a NUL byte.
    static const char* const pieces[] = {"..", "\\", "/", ":", "", "\r", "\n", "C:", "\\\\?\\", "con", " ", ".", "\xff",
                                         "*", "saves\\", "+1 ", "-0 "};
    std::uniform_int_distribution<int> op(0, 2);
    int rounds = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < rounds; ++i) {
        size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (op(random)) {
        case 0:
            if (!text.empty() && at < text.size())
                text[at] = static_cast<char>(random() % 256);
            break;
        case 1: {
            std::string piece = pieces[random() % std::size(pieces)];
            if (piece.empty())
                piece = std::string(1, '\0');
            text.insert(at, piece);
            break;
        }
        default:
            text.erase(at, random() % 8);
            break;
        }
    }
    return text;
}

TEST(ListDecodersTest, RandomAndMutatedInputNeverCrashesAndOnlyValidNamesAreTaken) {
    const std::string d = kDigest + "  ";
    const std::pair<List, std::string> seeds[] = {
        {List::Manifest, d + "saves/slot 1/a.sav\n" + d + "maps/m.map\n" + d + "tarnwick.cfg\n"},
        {List::BackupSwap, "+0 saves\\a.sav\n-0 maps\n+0 Tarnwick_2026.12.08.BAK\n"},
        {List::RestoreSwap, "+0 saves\\a.sav\n+1 scores\\s.scr\n-0 maps\\m.map\n"},
        {List::Added, "saves\\new.sav\r\nPer-user copy (VirtualStore)\\maps\r\n"},
    };
    std::mt19937 random(20261208);
    size_t taken = 0;
    for (int i = 0; i < 4000; ++i) {
        const auto& [list, seed] = seeds[static_cast<size_t>(i) % std::size(seeds)];
        std::string text;
        if (i % 5 == 0) {
            text.resize(random() % 200);
            for (char& c : text)
                c = static_cast<char>(random() % 256);
        } else {
            text = Mutate(seed, random);
        }
        Decoded decoded = Decode(list, text);
        ASSERT_NE(decoded.read.state, ListRead::State::Unreadable);
        for (const std::wstring& name : decoded.names) {
            ++taken;
            ASSERT_TRUE(StaysInside(name)) << "input " << i << " took " << Narrow(name);
        }
    }
    EXPECT_GT(taken, 0u);  // the loop reached the acceptance side too
}

// A journal names folders; mutated, it is either refused or names the job's own only, so
// that putting it right never touches a folder outside.
TEST(ListDecodersTest, MutatedJournalsNeverLeadRecoveryOutside) {
    ScratchDir dir;
    const std::wstring game = dir / L"vol\\Tarnwick";
    const std::wstring victim = dir / L"victim";
    MakeGameData(game, "game");
    MakeGameData(victim, "victim");
    const Tree gameBefore = TreeOf(game), victimBefore = TreeOf(victim);
    const std::string seed = "Backup Tarnwick job journal\r\njob=restore\r\nstage=unswapping\r\ngameFolder=" +
                             Narrow(game) + "\r\nsetFolder=" + Narrow(victim) + "\r\nperUserCopy=\r\nsafetySet=" +
                             Narrow(dir / L"vol\\Tarnwick safety sets\\2026.12.08 10.00.00") +
                             "\r\nmadeSafetySetRoot=no\r\n";
    const std::wstring journal = dir / L"journal\\job journal.txt";
    std::mt19937 random(8122026);
    for (int i = 0; i < 300; ++i) {
        MakeDirs(dir / L"journal");
        WriteTextFile(journal, Mutate(seed, random));
        (void)RecoverInterruptedJob(journal, {game});
        RemoveTree(dir / L"journal");
        ASSERT_EQ(TreeOf(victim), victimBefore) << "journal " << i;
        ASSERT_EQ(TreeOf(game), gameBefore) << "journal " << i;
    }
}

}  // namespace
