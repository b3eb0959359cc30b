#pragma once
// The checks a marker file passes before a restore trusts it, in their order: a path is
// given, the file exists, it has the .BAK extension, it is a Tarnwick marker, and the
// folder it names holds a backup set. The restore wizard and the command line share them.

#include <string>

enum class MarkerVerdict {
    Ok,
    NoPath,
    Missing,
    NotBak,
    NotTarnwick,
    NoLocation,          // the marker names no folder
    LocationMissing,     // the folder it names is not there
    LocationHoldsNoSet,  // the folder holds no part of a set
};

struct MarkerCheck {
    MarkerVerdict verdict = MarkerVerdict::Ok;
    std::wstring location;  // the set's folder, as the marker names it
    std::wstring message;   // what the player is told when the verdict is not Ok

    bool Ok() const { return verdict == MarkerVerdict::Ok; }
};

// markerPath must be a full path (a relative one is read from the Windows folder by the
// settings-file functions).
MarkerCheck CheckMarker(const std::wstring& markerPath);
