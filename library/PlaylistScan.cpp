#include "library/PlaylistScan.h"

#include <charconv>

#include "library/PathText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

void DeleteFilesByMask(const std::string& pathWithMask) {
  const std::string folder = FolderPart(pathWithMask);
  // Listed first, deleted after: the search never sees its own deletions.
  for (const platform::FoundEntry& entry : platform::FindEntries(pathWithMask)) {
    platform::RemoveFile(folder + entry.name);
  }
}

void DeletePlaylistCache(const TLibraryContext& context, const std::string& logPath,
                         std::vector<platform::Message>* notices) {
  TLines names;
  if (!ReadTextList(logPath, &names)) return;
  const std::string folder = context.CacheFolder();
  const std::string base = PlaylistBaseName(FileNamePart(logPath));
  for (const std::string& name : names) {
    if (name.empty()) continue;
    // A line that climbs out of the cache folder, names a drive, or names
    // another playlist's files was not written by this playlist's build.
    if (!IsOwnDerivedFileName(name, base)) {
      if (notices) notices->push_back(platform::Message(kSkippedCacheLine, {logPath, name}));
      continue;
    }
    platform::RemoveFile(folder + name);
  }
  platform::RemoveFile(logPath);
}

TPlaylistScan::TPlaylistScan(const TLibraryContext& context, const std::string& playlistFolder,
                             TLines previousLines, TUpdateProgress& progress, bool rebuildAll,
                             bool resolveLinesAgain)
    : context_(context),
      folder_(playlistFolder),
      previous_(std::move(previousLines)),
      progress_(progress),
      rebuildAll_(rebuildAll),
      resolveLinesAgain_(resolveLinesAgain) {}

std::string TPlaylistScan::PlaylistKey(const std::string& fileName) const {
  return QuotedText(folder_ + "\\" + fileName);
}

void TPlaylistScan::Fail(const platform::Message& text) {
  progress_.ReportFailure(text);
  ++failures_;
  playlistFailed_ = true;
}

void TPlaylistScan::Notice(const platform::Message& text) {
  progress_.ReportFailure(text);
  ++failures_;
}

void TPlaylistScan::CheckPlaylist(const std::string& fileName, std::int32_t stamp) {
  playlistFailed_ = false;
  const std::string key = PlaylistKey(fileName);
  const std::string stampText = platform::StampText(stamp);
  ownedLogNames_.insert(platform::FoldFileName(PlaylistBaseName(fileName) + ".log"));
  try {
    DecidePlaylist(fileName, key, stampText);
  } catch (const platform::Error& e) {
    Fail(e.Text());
  } catch (const std::exception&) {
    // Out of memory, or a length no string can hold: this playlist only.
    Fail(platform::Message(kErrCannotProcess, folder_ + "\\" + fileName));
  }
  newLines_.push_back(key + "=" + (playlistFailed_ ? std::string() : stampText));
  newKeys_.insert(key);
}

void TPlaylistScan::DecidePlaylist(const std::string& fileName, const std::string& key,
                                   const std::string& stampText) {
  const std::string base = PlaylistBaseName(fileName);
  const std::string value = previous_.Lookup(key);
  if (value.empty()) {
    if (RebuildPlaylist(fileName)) progress_.AddOne(TUpdateCounter::Added);
  } else if (value != stampText || rebuildAll_ || (resolveLinesAgain_ && ReadOtherwiseBefore(fileName))) {
    if (RebuildPlaylist(fileName)) progress_.AddOne(TUpdateCounter::Updated);
  } else if (!context_.CheckMP3OnUpdate) {
    progress_.AddOne(TUpdateCounter::Skipped);
  } else {
    const std::string mp3LogPath = context_.CacheFolder() + base + ".mp3log";
    if (!platform::FileExists(mp3LogPath)) {
      // Rebuilt to get its track stamps back, but nothing of it changed.
      if (RebuildPlaylist(fileName)) progress_.AddOne(TUpdateCounter::Skipped);
    } else {
      bool hasLines = false;
      bool changed = false;
      try {
        changed = TracksChanged(PlaylistText(fileName, ReadRequiredTextBytes(folder_ + "\\" + fileName)), mp3LogPath,
                                &hasLines);
      } catch (const platform::Error& e) {
        Fail(e.Text());
      }
      if (!playlistFailed_) {
        if (changed) {
          if (RebuildPlaylist(fileName)) progress_.AddOne(TUpdateCounter::Updated);
        } else if (hasLines) {
          progress_.AddOne(TUpdateCounter::Skipped);
        }
      }
    }
  }
}

bool TPlaylistScan::ReadOtherwiseBefore(const std::string& fileName) {
  std::string bytes;
  try {
    bytes = ReadRequiredTextBytes(folder_ + "\\" + fileName);
  } catch (const platform::Error&) {
    return true;  // the build says why it cannot be read
  }
  if (IsReadOtherwiseBefore(fileName, bytes)) return true;
  bool resolved = false;
  ForEachTextLine(PlaylistText(fileName, std::move(bytes)), [&](const char* line, std::size_t size) {
    if (!resolved && IsLineResolvedAgainstFolder(line, size)) resolved = true;
  });
  return resolved;
}

bool TPlaylistScan::TracksChanged(const std::string& playlistText, const std::string& mp3LogPath, bool* hasLines) {
  // Tens of thousands of tracks are checked at every update: lines are taken
  // in place and every buffer is reused, so a track costs no allocation.
  TKeyValueLookup times(LibraryText(ReadRequiredTextBytes(mp3LogPath)));
  std::string path, quoted;
  platform::FoundEntry entry;
  bool changed = false;
  ForEachTextLine(playlistText, [&](const char* text, std::size_t size) {
    *hasLines = true;
    if (changed) return;
    progress_.TrackDone();
    if (TrackPathOfLine(text, size, folder_, &path) != TPlaylistLine::Track) return;
    if (!platform::FindFirstEntry(path, &entry)) return;
    if (!HasMp3Extension(entry.name)) return;
    quoted.clear();
    AppendQuotedText(path.data(), path.size(), &quoted);
    std::string_view stamp;
    char stampText[16];
    const char* const stampEnd = std::to_chars(stampText, stampText + sizeof stampText, entry.stamp).ptr;
    changed = !times.FindInLineOrder(quoted, &stamp) ||
              stamp != std::string_view(stampText, static_cast<std::size_t>(stampEnd - stampText));
  });
  return changed;
}

bool TPlaylistScan::RebuildPlaylist(const std::string& fileName) {
  const std::string path = folder_ + "\\" + fileName;
  const std::string key = PlaylistKey(fileName);
  // Read before anything is touched: a playlist that cannot be read keeps
  // its old derived files. The build replaces them itself, in an order that
  // a stop at any point leaves for the next update to repair.
  std::string text;
  try {
    text = PlaylistText(fileName, ReadRequiredTextBytes(path));
  } catch (const platform::Error& e) {
    Fail(e.Text());
    previous_.RemoveExact(key);
    return false;
  }
  std::vector<platform::Message> notices;
  const std::vector<platform::Message> failures = BuildPlaylistIndexFromText(context_, path, text, &notices, &progress_, &unfit_);
  for (const platform::Message& notice : notices) Notice(notice);
  for (const platform::Message& failure : failures) Fail(failure);
  previous_.RemoveExact(key);
  return failures.empty();
}

TLines TPlaylistScan::StoppedLines() const {
  TLines lines = newLines_;
  const TLines& old = previous_.Lines();
  std::string key, value;
  for (std::size_t i = 0; i < old.size(); ++i) {
    if (!previous_.IsLive(i)) continue;
    SplitKeyValue(old[i], &key, &value);
    if (!newKeys_.count(key)) lines.push_back(old[i]);
  }
  return lines;
}

void TPlaylistScan::PurgeVanishedPlaylists() {
  const TLines& lines = previous_.Lines();
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (!previous_.IsLive(i)) continue;
    std::string key, value;
    SplitKeyValue(lines[i], &key, &value);
    if (newKeys_.count(key)) continue;
    std::string name = UnquotedText(key);
    if (name.empty()) name = key;
    const std::string playlistName = FileNamePart(name);
    // A stored line names the files it deletes: "/" also separates, ".."
    // climbs, so anything but a plain name is passed over.
    if (!IsPlainFileName(playlistName)) {
      if (!lines[i].empty()) Notice(platform::Message(kSkippedStoredLine, {context_.AppDir + "playlist.log", lines[i]}));
      continue;
    }
    const std::string logName = ChangeExtension(playlistName, ".log");
    // A playlist of this scan with the same file name (another folder, or
    // the same name in another letter case) owns these files now.
    if (!ownedLogNames_.count(platform::FoldFileName(logName))) {
      std::vector<platform::Message> notices;
      try {
        DeletePlaylistCache(context_, context_.CacheFolder() + logName, &notices);
      } catch (const platform::Error& e) {
        Notice(e.Text());
      }
      for (const platform::Message& notice : notices) Notice(notice);
    }
    progress_.AddOne(TUpdateCounter::Deleted);
  }
}
