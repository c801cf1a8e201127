#pragma once
// The per-playlist cache decisions of a library update: skip, update, add,
// and the removal of the derived files of playlists that are gone.
#include <string>
#include <unordered_set>
#include <vector>

#include "library/PlaylistIndex.h"
#include "library/TextList.h"

// The four counters of the update dialog.
enum class TUpdateCounter { Skipped, Updated, Added, Deleted };

// What the update shows while it runs. The update dialog implements it; the
// console tool and the tests count.
class TUpdateProgress {
 public:
  virtual ~TUpdateProgress() = default;
  // Adds one to a counter and shows it at once.
  virtual void AddOne(TUpdateCounter counter) = 0;
  virtual void RepaintDialog() {}
  virtual void SetProgressMaximum(int maximum) { (void)maximum; }
  virtual void StepProgress() {}
  virtual void RepaintPlaylistWindow() {}
  // A playlist (or "playlist.log") could not be handled: its text names the
  // file and what went wrong. The update goes on.
  virtual void ReportFailure(const std::string& text) { (void)text; }
};

// Counts, for the console tool and the tests.
class TCountingProgress : public TUpdateProgress {
 public:
  void AddOne(TUpdateCounter counter) override { ++Counts[static_cast<int>(counter)]; }
  void SetProgressMaximum(int maximum) override { Maximum = maximum; }
  void StepProgress() override { ++Position; }
  void ReportFailure(const std::string& text) override { Failures.push_back(text); }
  int Skipped() const { return Counts[0]; }
  int Updated() const { return Counts[1]; }
  int Added() const { return Counts[2]; }
  int Deleted() const { return Counts[3]; }

  int Counts[4] = {0, 0, 0, 0};
  int Maximum = 0;
  int Position = 0;
  std::vector<std::string> Failures;
};

// Deletes every entry that matches the mask that ends `pathWithMask` (such as
// AppDir + "playlist\*.mp3log"), in search order; failures are passed over.
void DeleteFilesByMask(const std::string& pathWithMask);

// Deletes the files that a playlist's ".log" lists (in the cache folder),
// then the ".log". Nothing when there is no ".log". Raises platform::Error
// when the ".log" exists but cannot be read (and then deletes nothing).
void DeletePlaylistCache(const TLibraryContext& context, const std::string& logPath);

// One scan of the playlist folder: the previous list (lines of
// "playlist.log"), the new list, and the counters.
class TPlaylistScan {
 public:
  TPlaylistScan(const TLibraryContext& context, const std::string& playlistFolder, TLines previousLines,
                TUpdateProgress& progress);

  // Decides and carries out skip, update or add for the playlist file named
  // `fileName` with time stamp `stamp`, and records it in the new list. A
  // playlist that fails is reported, counted nowhere and recorded with an
  // empty stamp, so that the next update builds it again.
  void CheckPlaylist(const std::string& fileName, std::int32_t stamp);
  // Deletes the derived files of every playlist of the previous list that the
  // new list does not hold, except files that a playlist of this scan owns.
  void PurgeVanishedPlaylists();

  const TLines& NewLines() const { return newLines_; }
  const TKeyValueList& Previous() const { return previous_; }
  bool HadFailures() const { return failures_ != 0; }

 private:
  std::string PlaylistKey(const std::string& fileName) const;
  // Rebuilds the derived files; answers false when something failed.
  bool RebuildPlaylist(const std::string& fileName);
  // The track check of an unchanged playlist: true when a track changed.
  // *hasLines tells whether the playlist has a line at all.
  bool TracksChanged(const std::string& playlistBytes, const std::string& mp3LogPath, bool* hasLines);
  void Fail(const std::string& text);

  const TLibraryContext& context_;
  std::string folder_;
  TKeyValueList previous_;
  TLines newLines_;
  std::unordered_set<std::string> newKeys_;
  // Folded ".log" names of the playlists of this scan: their derived files
  // are theirs, whatever key a vanished playlist had.
  std::unordered_set<std::string> ownedLogNames_;
  TUpdateProgress& progress_;
  int failures_ = 0;
  bool playlistFailed_ = false;
};
