#pragma once
// The marker file of a backup set: the one place that knows its name, its section and
// its keys. The backup side writes it, the restore side reads and checks it.
//
// Name: "Tarnwick_" + local date as yyyy.mm.dd + ".BAK", joined to the folder text
// with "\" as it stands (a folder text ending in "\" gives a doubled separator, which
// the platform reads as one). Content: section "Backup", "Version=Tarnwick",
// "Backup_Location=" + the backup folder exactly as given.
//
// Writing, in this order: WriteMarkerVersion(path), then WriteMarkerLocation(path,
// folder). The file stays the plain ANSI file the platform writes, except when the
// location holds characters that the ANSI code page cannot hold: then
// WriteMarkerLocation turns the file into UTF-16LE with a byte-order mark before it
// writes, so that the platform stores the location faithfully (and keeps the file in
// that form from then on). Nothing needs to be called before the two writes. Writing
// reports nothing: a marker that cannot be written is simply absent.

#include <windows.h>

#include <string>

std::wstring MarkerPath(const std::wstring& folderText, const SYSTEMTIME& localDate);
std::wstring MarkerPathToday(const std::wstring& folderText);

// Writes today's marker of the set in folder, recording folder as its location, and
// returns the marker's path. The marker is durable once this returns: it is written
// under a temporary name (starting from the earlier marker of that name, whose other
// content the settings-file functions would keep), flushed, and renamed into place. So
// it is there whole or not at all; the caller writes it only once the set's own files
// are on the disk, so that a marker never leads to data still in a cache.
std::wstring WriteMarker(const std::wstring& folder);

// True when the marker at markerPath, read again from the disk, is a Tarnwick marker
// that leads to folder.
bool MarkerReadsBack(const std::wstring& markerPath, const std::wstring& folder);

// A marker file's bytes as they were, to be put back exactly when a job that rewrote
// it fails; a marker that was not there is removed again. A job's journal keeps it in
// text form (Encode), so that the marker is put back also after the job was killed.
class MarkerSnapshot {
public:
    explicit MarkerSnapshot(std::wstring markerPath);
    // The snapshot that Encode gave for that marker.
    static MarkerSnapshot Decode(std::wstring markerPath, const std::string& encoded);

    // Puts the file back as it was when the snapshot was taken.
    void Restore() const;
    std::string Encode() const;
    const std::wstring& Path() const { return path_; }

private:
    MarkerSnapshot() = default;

    std::wstring path_;
    bool existed_ = false;
    bool readable_ = false;
    std::string bytes_;
};

void WriteMarkerVersion(const std::wstring& markerPath);
void WriteMarkerLocation(const std::wstring& markerPath, const std::wstring& location);

// The most of a value the reading side gets back: a longer location comes back cut.
inline constexpr size_t MarkerValueMaxChars = 254;

// "" for a missing file, section or key; at most MarkerValueMaxChars characters.
std::wstring ReadMarkerVersion(const std::wstring& markerPath);
std::wstring ReadMarkerLocation(const std::wstring& markerPath);

// True only for "Tarnwick" exactly: same case, nothing around it.
bool IsTarnwickVersion(const std::wstring& value);
