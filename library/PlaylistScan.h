#pragma once
// The per-playlist cache decisions of a library update: skip, update, add,
// and the removal of the derived files of playlists that are gone.
#include <string>
#include <unordered_set>
#include <vector>

#include "library/PlaylistIndex.h"
#include "library/TextList.h"
#include "library/UpdateProgress.h"

// Deletes every entry that matches the mask that ends `pathWithMask` (such as
// AppDir + "playlist\*.mp3log"), in search order; failures are passed over.
void DeleteFilesByMask(const std::string& pathWithMask);

// Deletes the files that a playlist's ".log" lists (in the cache folder),
// then the ".log". Nothing when there is no ".log". Only names of that
// playlist's own derived files are deleted; other lines are passed over and
// described in `notices`. Raises platform::Error when the ".log" exists but
// cannot be read (and then deletes nothing).
void DeletePlaylistCache(const TLibraryContext& context, const std::string& logPath,
                         std::vector<platform::Message>* notices = nullptr);

// The text of a "playlist.log" line whose playlist name is not a plain file
// name: "playlist.log", then the line. Nothing is deleted for it.
inline constexpr const char* kSkippedStoredLine = "%s の次の行はプレイリストのファイル名を示していないため飛ばしました: %s";
// A playlist that could not be handled for its size or its damage.
inline constexpr const char* kErrCannotProcess = "ファイル %s は大きすぎるか壊れているため処理できません";

// One scan of the playlist folder: the previous list (lines of
// "playlist.log"), the new list, and the counters.
class TPlaylistScan {
 public:
  // `rebuildAll`: the keys of the library on disk were made another way, so
  // every playlist found is built again (counted as updated).
  // `resolveLinesAgain`: the library was built when relative and "file:"
  // lines named other tracks; a playlist that holds such a line, or is read
  // as UTF-8 or UTF-16 only now, is built again (counted as updated).
  TPlaylistScan(const TLibraryContext& context, const std::string& playlistFolder, TLines previousLines,
                TUpdateProgress& progress, bool rebuildAll = false, bool resolveLinesAgain = false);

  // Decides and carries out skip, update or add for the playlist file named
  // `fileName` with time stamp `stamp`, and records it in the new list. A
  // playlist that fails is reported, counted nowhere and recorded with an
  // empty stamp, so that the next update builds it again.
  void CheckPlaylist(const std::string& fileName, std::int32_t stamp);
  // Deletes the derived files of every playlist of the previous list that the
  // new list does not hold, except files that a playlist of this scan owns.
  void PurgeVanishedPlaylists();

  const TLines& NewLines() const { return newLines_; }
  // The list of a scan stopped part way: the playlists it checked, then the
  // previous lines of those it did not reach, which the next update decides
  // (and purges) as if this scan had never looked at them.
  TLines StoppedLines() const;
  bool HadFailures() const { return failures_ != 0; }
  // The names left out for the system code page so far.
  TUnfitNames& UnfitNames() { return unfit_; }

 private:
  std::string PlaylistKey(const std::string& fileName) const;
  // Rebuilds the derived files; answers false when something failed.
  bool RebuildPlaylist(const std::string& fileName);
  void DecidePlaylist(const std::string& fileName, const std::string& key, const std::string& stampText);
  // The track check of an unchanged playlist: true when a track changed.
  // *hasLines tells whether the playlist has a line at all.
  bool TracksChanged(const std::string& playlistText, const std::string& mp3LogPath, bool* hasLines);
  // Whether a build before lines were read as the player reads them would
  // have made other files of this playlist.
  bool ReadOtherwiseBefore(const std::string& fileName);
  void Fail(const platform::Message& text);
  // A line passed over: reported, but the playlist is not failed for it.
  void Notice(const platform::Message& text);

  const TLibraryContext& context_;
  std::string folder_;
  TKeyValueList previous_;
  TLines newLines_;
  std::unordered_set<std::string> newKeys_;
  // Folded ".log" names of the playlists of this scan: their derived files
  // are theirs, whatever key a vanished playlist had.
  std::unordered_set<std::string> ownedLogNames_;
  TUpdateProgress& progress_;
  TUnfitNames unfit_;
  int failures_ = 0;
  bool playlistFailed_ = false;
  bool rebuildAll_ = false;
  bool resolveLinesAgain_ = false;
};
