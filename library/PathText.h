#pragma once
// Path text in the system code page: delimiters are never taken from the
// second byte of a double-byte character (Shift-JIS trail bytes include "\").
#include <string>

// Position of the last byte of `text` that is one of `delimiters` and not a
// trail byte; npos when none.
std::size_t LastDelimiter(const std::string& text, const char* delimiters);
// The part after the last "\" or ":".
std::string FileNamePart(const std::string& path);
// Up to and including the last "\" or ":".
std::string FolderPart(const std::string& path);
// The path with its extension (from its last "." after the last "\" or ":")
// replaced; a name without one gets the extension appended.
std::string ChangeExtension(const std::string& path, const std::string& extension);
// Replaces the eleven single-byte characters that file names cannot hold (and
// the comma and semicolon) by their full-width Shift-JIS forms, leaving
// double-byte characters whole.
std::string MakeFileNameSafe(const std::string& text);
// A name that stands for one entry of one folder and nothing else: not
// empty, not "." or "..", and without a separator ("\", "/"), a drive or
// stream colon, or a character a Windows name cannot hold (the wildcards
// among them). Names read back from the library's own files must be plain
// before anything is deleted by them.
bool IsPlainFileName(const std::string& name);
// A path that names the same place whatever the current drive and folder:
// "X:\..." (or "X:/...") or a UNC path "\\server\share...".
bool IsAbsolutePath(const std::string& path);
