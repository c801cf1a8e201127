#pragma once
// Path text in the inside form (UTF-8): a delimiter byte is always the
// character itself, never part of another character.
#include <string>

// Position of the last byte of `text` that is one of `delimiters`; npos when
// none.
std::size_t LastDelimiter(const std::string& text, const char* delimiters);
// The part after the last "\" or ":".
std::string FileNamePart(const std::string& path);
// Up to and including the last "\" or ":".
std::string FolderPart(const std::string& path);
// The path with its extension (from its last "." after the last "\" or ":")
// replaced; a name without one gets the extension appended.
std::string ChangeExtension(const std::string& path, const std::string& extension);
// Replaces the eleven characters that file names cannot hold (and the comma
// and semicolon) by the full-width forms of code page 932. In a Unicode
// library they are those characters; otherwise they are what the system
// code page makes of their code page 932 bytes, so that the file is named by
// the same bytes as ever on any system.
std::string MakeFileNameSafe(const std::string& text, bool unicodeLibrary = false);
// A name that stands for one entry of one folder and nothing else: not
// empty, not "." or "..", and without a separator ("\", "/"), a drive or
// stream colon, or a character a Windows name cannot hold (the wildcards
// among them). Names read back from the library's own files must be plain
// before anything is deleted by them.
bool IsPlainFileName(const std::string& name);
// A path that names the same place whatever the current drive and folder:
// "X:\..." (or "X:/...") or a UNC path "\\server\share...".
bool IsAbsolutePath(const std::string& path);

// What a line of a source playlist names, read as the player reads it.
enum class TPlaylistLine {
  Track,     // a track path
  Passed,    // a "#" line, a blank line, a URL of a stream: no track
  Unusable,  // a "file:" URL that decodes to no usable path
};
// The track path of a playlist line, into `path` (a buffer reused from line
// to line). `playlistFolder` is the playlist's folder without a trailing
// backslash ("D:\Lists"). "D:\...", "D:/..." and "\\server\share..." are
// the line unchanged; a line starting with one "\" gets the folder's drive
// in front; "file:" URLs are percent-decoded as UTF-8; every other line is
// joined to the folder, "/" taken as "\" and "." and ".." resolved (never
// above the drive's root or the share).
TPlaylistLine TrackPathOfLine(const char* line, std::size_t size, const std::string& playlistFolder,
                              std::string* path);
// Whether the line is taken relative to the playlist or is a "file:" URL:
// a playlist built before such lines were resolved holds other tracks.
bool IsLineResolvedAgainstFolder(const char* line, std::size_t size);
