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

void DeletePlaylistCache(const TLibraryContext& context, const std::string& logPath) {
  TLines names;
  if (!ReadTextList(logPath, &names)) return;
  const std::string folder = context.CacheFolder();
  for (const std::string& name : names) {
    // Only names in the cache folder itself: a line that climbs out of it
    // (or names a drive) was not written by a build and is passed over.
    if (name.empty() || LastDelimiter(name, "\\/:") != std::string::npos) continue;
    platform::RemoveFile(folder + name);
  }
  platform::RemoveFile(logPath);
}

TPlaylistScan::TPlaylistScan(const TLibraryContext& context, const std::string& playlistFolder,
                             TLines previousLines, TUpdateProgress& progress)
    : context_(context), folder_(playlistFolder), previous_(std::move(previousLines)), progress_(progress) {}

std::string TPlaylistScan::PlaylistKey(const std::string& fileName) const {
  return QuotedText(folder_ + "\\" + fileName);
}

void TPlaylistScan::Fail(const std::string& text) {
  progress_.ReportFailure(text);
  ++failures_;
  playlistFailed_ = true;
}

void TPlaylistScan::CheckPlaylist(const std::string& fileName, std::int32_t stamp) {
  playlistFailed_ = false;
  const std::string key = PlaylistKey(fileName);
  const std::string stampText = platform::StampText(stamp);
  const std::string base = PlaylistBaseName(fileName);
  ownedLogNames_.insert(platform::FoldFileName(base + ".log"));
  const std::string value = previous_.Lookup(key);
  if (value.empty()) {
    if (RebuildPlaylist(fileName)) progress_.AddOne(TUpdateCounter::Added);
  } else if (value != stampText) {
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
        changed = TracksChanged(ReadRequiredTextBytes(folder_ + "\\" + fileName), mp3LogPath, &hasLines);
      } catch (const platform::Error& e) {
        Fail(e.what());
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
  progress_.RepaintDialog();
  newLines_.push_back(key + "=" + (playlistFailed_ ? std::string() : stampText));
  newKeys_.insert(key);
}

bool TPlaylistScan::TracksChanged(const std::string& playlistBytes, const std::string& mp3LogPath, bool* hasLines) {
  // Tens of thousands of tracks are checked at every update: lines are taken
  // in place and every buffer is reused, so a track costs no allocation.
  const TKeyValueLookup times(ReadRequiredTextBytes(mp3LogPath));
  std::string path, quoted;
  platform::FoundEntry entry;
  bool changed = false;
  const platform::EntryLookupScope folders;
  ForEachTextLine(playlistBytes, [&](const char* text, std::size_t size) {
    *hasLines = true;
    if (changed) return;
    if (context_.KeepAlive) context_.KeepAlive();
    AssignTrackPathOfLine(text, size, folder_, &path);
    if (!platform::FindFirstEntry(path, &entry)) return;
    if (!HasMp3Extension(entry.name)) return;
    quoted.clear();
    AppendQuotedText(path.data(), path.size(), &quoted);
    std::string_view stamp;
    char stampText[16];
    const char* const stampEnd = std::to_chars(stampText, stampText + sizeof stampText, entry.stamp).ptr;
    changed = !times.Find(quoted, &stamp) ||
              stamp != std::string_view(stampText, static_cast<std::size_t>(stampEnd - stampText));
  });
  return changed;
}

bool TPlaylistScan::RebuildPlaylist(const std::string& fileName) {
  const std::string path = folder_ + "\\" + fileName;
  const std::string key = PlaylistKey(fileName);
  bool ok = true;
  // Read before anything is deleted: a playlist that cannot be read keeps
  // its old derived files.
  TLines lines;
  try {
    lines = ReadRequiredTextList(path);
  } catch (const platform::Error& e) {
    Fail(e.what());
    previous_.RemoveExact(key);
    return false;
  }
  try {
    DeletePlaylistCache(context_, context_.CacheFolder() + PlaylistBaseName(fileName) + ".log");
  } catch (const platform::Error& e) {
    Fail(e.what());
    ok = false;
  }
  for (const std::string& failure : BuildPlaylistIndex(context_, path, lines)) {
    Fail(failure);
    ok = false;
  }
  previous_.RemoveExact(key);
  return ok;
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
    const std::string logName = ChangeExtension(FileNamePart(name), ".log");
    // A playlist of this scan with the same file name (another folder, or
    // the same name in another letter case) owns these files now.
    if (!ownedLogNames_.count(platform::FoldFileName(logName))) {
      try {
        DeletePlaylistCache(context_, context_.CacheFolder() + logName);
      } catch (const platform::Error& e) {
        progress_.ReportFailure(e.what());
        ++failures_;
      }
    }
    progress_.AddOne(TUpdateCounter::Deleted);
  }
}
