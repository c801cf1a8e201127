#pragma once
// The artist and album index of one playlist and the names of its derived
// files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/ComparisonIndex.h"
#include "library/TextList.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

class TMP3Tag;

// What a library operation needs to know of the program.
struct TLibraryContext {
  std::string AppDir;  // ends in a backslash
  bool CheckMP3OnUpdate = false;
  // Owner of the tag reader's message box.
  platform::WindowHandle MessageOwner = 0;
  // When set, each build's tag reader is held here while the build runs
  // (the main object's reader field); a fresh idle reader is left afterwards.
  std::unique_ptr<TMP3Tag>* TagReaderHolder = nullptr;
  // Called after every track read or checked: a program with windows keeps
  // its message queue answered through a long build (a playlist of tens of
  // thousands of tracks), or Windows would call it hung.
  std::function<void()> KeepAlive = nullptr;

  std::string CacheFolder() const { return AppDir + "playlist\\"; }
};

// Keys with their groups of track paths. Keys are found without regard to
// case; the first spelling met is the key; entries keep the order of first
// meeting.
struct TGroupEntry {
  std::string Key;
  TLines Tracks;
};
class TGroupList {
 public:
  const std::vector<TGroupEntry>& Entries() const { return entries_; }
  std::vector<TGroupEntry>& Entries() { return entries_; }
  // The entry whose key compares equal to `key`, or null.
  TGroupEntry* Find(const std::string& key);
  TGroupEntry& Append(const std::string& key);
  // Find, and Append when there is none, with one hash of the key.
  TGroupEntry& FindOrAppend(const std::string& key);

 private:
  std::vector<TGroupEntry> entries_;
  TComparisonIndex index_;
};

void AddToGroup(TGroupList& list, const std::string& key, const std::string& trackPath);

// File names of the derived files (no folder).
// B: the playlist file name without its extension (from its last ".").
std::string PlaylistBaseName(const std::string& playlistFileName);
// A key as it may stand in a file name: the characters a file name cannot
// hold become full-width (MakeFileNameSafe), and the control bytes 0x00-0x1F,
// which have no full-width form, become "%" and two upper-case hex digits.
std::string SafeKeyForFileName(const std::string& key);
// 'B' Artist 'key'.m3u, 'B' Album 'key'.m3u ("Artist" or "Album" as kind):
// the name the playlist window looks the generated playlist up by.
std::string GeneratedPlaylistFileName(const std::string& playlistBase, const std::string& kind,
                                      const std::string& key);
// 'B' Artist.dat, 'B' Album.dat.
std::string IndexFileName(const std::string& playlistBase, const std::string& kind);

// The extension of a name (from its last "." after its last "\" or ":"),
// letters A-Z made lower case; empty when it has none.
std::string LowerExtension(const std::string& path);
bool IsMp3Extension(const std::string& lowerExtension);
// IsMp3Extension(LowerExtension(path)), for every track of an update.
bool HasMp3Extension(const std::string& path);

// A playlist line made into a track path: a line starting with "\" gets the
// drive (the first two characters) of `playlistPathOrFolder` in front.
std::string TrackPathOfLine(const std::string& line, const std::string& playlistPathOrFolder);
// The same into a buffer that is reused from line to line.
void AssignTrackPathOfLine(const char* line, std::size_t size, const std::string& playlistPathOrFolder,
                           std::string* path);

// One build of a playlist's index: the groups, the time lines, the files.
class TPlaylistIndexBuild {
 public:
  TPlaylistIndexBuild(const TLibraryContext& context, TMP3Tag& tagReader);

  void ClassifyTrack(const std::string& trackPath);
  // Writes the derived files of the playlist file named `playlistFileName`.
  // A file that cannot be written is recorded in Failures() and the others
  // are still written; the ".log" lists every file meant to be written.
  void WriteFiles(const std::string& playlistFileName);

  TGroupList Artists;
  TGroupList Albums;
  TLines TimeLines;
  TLines FileNames;
  std::vector<std::string> Failures;

 private:
  void WriteGroups(platform::RebuildableFolder& out, TGroupList& list, const std::string& base,
                   const std::string& kind);
  void Write(platform::RebuildableFolder& out, const std::string& name, const TLines& lines);

  const TLibraryContext& context_;
  TMP3Tag& tagReader_;
  std::string bytes_;  // the file being written, its buffer kept for the next
};

// Builds the index of the playlist file P (full path) whose lines were read
// already. Answers the failures met (empty when all went well); a track that
// cannot be opened is filed nowhere and is one of them.
std::vector<std::string> BuildPlaylistIndex(const TLibraryContext& context, const std::string& playlistPath,
                                            const TLines& playlistLines);
// The same, reading the playlist first; a playlist that cannot be read is
// raised as platform::Error before anything is written.
std::vector<std::string> BuildPlaylistIndex(const TLibraryContext& context, const std::string& playlistPath);
