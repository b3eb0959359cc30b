#pragma once
// The marker file of a backup set: the one place that knows its name, its section and
// its keys. The backup side writes it, the restore side reads and checks it.
//
// Name: "Tarnwick_" + local date as yyyy.mm.dd + ".BAK", joined to the folder text
// with "\" as it stands (a folder text ending in "\" gives a doubled separator, which
// the platform reads as one). Content: section "Backup", "Version=Tarnwick",
// "Backup_Location=" + the backup folder exactly as given, and "Made_UTC=" (see
// WriteMarkerMade), which readers of the first two pass over.
//
// Writing, in this order: WriteMarkerVersion(path), then WriteMarkerLocation(path,
// folder). The file stays the plain ANSI file the platform writes, except when the
// location holds characters that the ANSI code page cannot hold: then
// WriteMarkerLocation turns the file into UTF-16LE with a byte-order mark before it
// writes, so that the platform stores the location faithfully (and keeps the file in
// that form from then on). Nothing needs to be called before the two writes. Writing
// reports nothing: a marker that cannot be written is simply absent.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "files/FileOps.h"

std::wstring MarkerPath(const std::wstring& folderText, const SYSTEMTIME& localDate);
std::wstring MarkerPathToday(const std::wstring& folderText);

// Writes a marker for the set in folder, recording folder as its location, at path (a
// staging place), starting from the bytes of the marker `earlier` (the one in place,
// whose other content the settings-file functions would keep), and flushes it: a backup
// swaps it into place whole once the set's files are on the disk, so that a marker never
// leads to data still in a cache.
FileResult WriteMarkerFile(const std::wstring& path, const std::wstring& folder, const std::wstring& earlier);

// Writes today's marker of the set in folder, durably: under a temporary name, flushed,
// then renamed into place. Returns the marker's path.
std::wstring WriteMarker(const std::wstring& folder);

// True when the marker at markerPath, read again from the disk, is a Tarnwick marker
// that leads to folder.
bool MarkerReadsBack(const std::wstring& markerPath, const std::wstring& folder);

void WriteMarkerVersion(const std::wstring& markerPath);
void WriteMarkerLocation(const std::wstring& markerPath, const std::wstring& location);

// The time the marker was written, in UTC, as "Made_UTC=2026-12-08T20:00:00Z": dated sets
// are ordered by it, since their names are in local time, which runs back at the autumn
// clock change and jumps across time zones. A marker of an earlier release has none.
void WriteMarkerMade(const std::wstring& markerPath);
// As a file time (UTC); nothing for a marker without one, or with one not of that form.
std::optional<std::uint64_t> ReadMarkerMade(const std::wstring& markerPath);

// The most of a value the reading side gets back: a longer location comes back cut.
inline constexpr size_t MarkerValueMaxChars = 254;

// "" for a missing file, section or key; at most MarkerValueMaxChars characters.
std::wstring ReadMarkerVersion(const std::wstring& markerPath);
std::wstring ReadMarkerLocation(const std::wstring& markerPath);

// True only for "Tarnwick" exactly: same case, nothing around it.
bool IsTarnwickVersion(const std::wstring& value);
