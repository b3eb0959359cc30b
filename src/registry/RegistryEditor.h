#pragma once
// Export and import of registry branches through the system's registry editor, which runs
// as a separate program that nobody waits for, and the lookup of the word processor's
// registered document version. Class1 and clsBackup both offer these operations.

#include <string>

#include "registry/clsRegistry.h"

// "C:\Windows\Regedit.exe /e "<file>" "<key>"": the key path is the editor's own form,
// full root name first (HKEY_CURRENT_USER\..., the editor refuses HKCU\...). A file or key
// path that holds a double quote or ends in "\" cannot be quoted safely: it raises an
// AppError (ERROR_INVALID_NAME, source "RegistryEditor").
std::wstring RegistryExportCommandLine(const std::wstring& fileLocation, const std::wstring& keyPath);

// "C:\Windows\Regedit.exe /s "<file>"": quoted, so a path with spaces stays one argument;
// refused like the export's paths.
std::wstring RegistryImportCommandLine(const std::wstring& file);

// Starts a program by its command line, minimised with the input focus, and returns at once.
// A program that cannot be started (file not found) raises the platform's error.
void StartProgramMinimized(const std::wstring& commandLine);

// Starts the export of keyPath into fileLocation; returns before the file is written.
void StartRegistryExport(const std::wstring& fileLocation, const std::wstring& keyPath);

// Starts the import of file into the registry, without questions; returns at once.
void StartRegistryImport(const std::wstring& file);

// The registered current version of the Quillset document type (the default value of
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Quillset.Document\CurVer), or empty.
RegistryValue GetDefaultWordProcessor();
