#pragma once
// A set checked against its manifest without restoring it: every file the manifest lists
// is read whole and hashed, and the set's data (saves, maps, scores, tarnwick.cfg) is
// listed for files the manifest does not name. For sets on a stick or a second disk,
// which may rot unseen, before the day of a restore. The set is only read.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/input/RefusedInput.h"
#include "files/FileOps.h"

struct SetVerification {
    enum class Verdict {
        Whole,           // every listed file is there with the digest the manifest gives
        Damaged,         // a listed file differs or is missing, or the manifest is not one
        NothingToCheck,  // the set has no manifest (an earlier release made it)
    };
    Verdict verdict = Verdict::Whole;
    std::size_t checked = 0;              // files read and found whole
    std::vector<std::wstring> damaged;    // listed files that differ, are missing or cannot be read
    std::vector<std::wstring> extra;      // files of the set's data the manifest does not list
    std::optional<RefusedInput> refused;  // Damaged: the manifest's line this program would not write
};

SetVerification VerifySet(const std::wstring& setFolder);

// Writes the manifest of what the set holds now, every file of its data (and of a safety
// set's per-user layer) read whole and hashed: for a set the program filled by renames,
// a safety set. A file that cannot be read fails it, and no manifest is written.
FileResult WriteSetManifest(const std::wstring& setFolder);
