#pragma once
// The steps of a library update that touch no window: read "playlist.log",
// trim the playlist folder, count and scan its playlists, purge the vanished
// ones and write "playlist.log". The update dialog (or the console tool)
// follows through TUpdateProgress.
#include <string>

#include "library/PlaylistScan.h"

// The folder without its trailing backslashes ("D:\" becomes "D:").
std::string TrimTrailingBackslashes(std::string path);

// Whether the playlist folder is the library's own cache folder (AppDir +
// "playlist", however spelled). Such a folder must not be scanned: each
// update would take the playlists it generated for playlists of their own.
bool IsLibraryCacheFolder(const TLibraryContext& context, const std::string& playlistFolder);
// The failure a scan of the cache folder reports.
inline constexpr const char* kErrFolderIsCache =
    "プレイリストを格納するフォルダに、ライブラリが作るフォルダ %s が設定されています。";

// The notice of the playlist "A.m3u" passed over for "A.m3u8": the one
// passed over, then the one that is the library's playlist.
inline constexpr const char* kSkippedForM3u8 = "%s は同じ名前の %s があるため飛ばしました";
// The one notice of an update that left names out for the system code page:
// how many.
inline constexpr const char* kUnfitNamesNotice =
    "%s 件の名前はこのコードページで表せないため使いませんでした。すべての名前を残すには、オプションの「UTF-8 (.m3u8) "
    "で保存する」をオンにしてください。";

// The source playlists of a folder's entries, in the entries' order: the
// names whose extension is ".m3u" or ".m3u8" in any letter case. Where
// "A.m3u" and "A.m3u8" are both there, "A.m3u8" is the playlist "A" (its
// derived files would be the same files) and "A.m3u" is passed over, with
// the notice in `notices`.
std::vector<platform::FoundEntry> SourcePlaylists(const std::vector<platform::FoundEntry>& entries,
                                                  std::vector<platform::Message>* notices);

// The record, under AppDir beside "playlist.log", of how the library's keys
// were made when it was last built: "playlist.log" holds only the stamps of
// the playlists, which do not change when the way of making keys does.
inline constexpr const char* kKeyRecordName = "playlist.keys";
// The lines the record holds for a library built now with these settings:
// one "Name=value" line each, so an option of the keys is one line more.
TLines KeyRecordLines(const TLibraryContext& context);
// What a recorded library needs to become the present one.
struct TKeyRecordChange {
  // The keys were made another way, or nothing is known of them (no record,
  // or an update that changed them did not finish): every playlist is built
  // again.
  bool RebuildAll = false;
  // Made on another code page: its files are read as other characters, so
  // every one of them goes before the library is built anew.
  bool CodePageChanged = false;
  // Built before lines were taken as the player takes them: the playlists
  // with relative, "file:" or UTF-8-marked lines are built again.
  bool ResolveLinesAgain = false;
};
TKeyRecordChange CompareKeyRecord(const TLines& recorded, const TLines& present);

class TLibraryUpdate {
 public:
  TLibraryUpdate(const TLibraryContext& context, TUpdateProgress& progress);

  // Reads "playlist.log" under AppDir (no lines when there is none). False,
  // with the failure reported, when it exists but cannot be read: the update
  // must then stop before the scan, or the playlists it lists would be
  // forgotten with their derived files still on disk.
  bool ReadPreviousList();
  // Counts the playlists of the folder (progress maximum = count + 1), checks
  // each in search order, purges the vanished ones and writes
  // "playlist.log". Every playlist is built again when the key record is
  // missing or differs from this run's, and the record is written after
  // "playlist.log" once every playlist was seen. A library without
  // UnicodeLibrary passes over playlists whose file names the system code
  // page cannot hold; what was left out is told in one notice at the end.
  // False when anything failed
  // (each failure was reported) or the progress asked for a stop; the cache
  // folder itself is refused as a failure, nothing changed.
  bool Scan(const std::string& playlistFolder);

  // Stopped: the progress asked for a stop before a playlist; nothing was
  // purged and "playlist.log" holds what the next update needs to go on.
  enum class Outcome { Done, DoneWithFailures, FolderMissing, FolderIsCache, Stopped };
  // The whole run, for callers without a window: read, trim (the trimmed
  // folder is written back), check the folder, scan. On FolderMissing and
  // FolderIsCache nothing on disk has changed.
  Outcome Run(std::string* playListPath);

 private:
  const TLibraryContext& context_;
  TUpdateProgress& progress_;
  TLines previous_;
  bool previousRead_ = false;
  bool stopped_ = false;
};
