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
