#include "library/LibraryUpdate.h"

#include <algorithm>
#include <unordered_map>

#include "library/PathText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

std::string TrimTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

bool IsLibraryCacheFolder(const TLibraryContext& context, const std::string& playlistFolder) {
  return platform::IsSameDirectory(playlistFolder, context.AppDir + "playlist");
}

namespace {

// ".M3U" or ".M3U8" for a source playlist's name; empty for any other.
std::string PlaylistExtension(const std::string& name) {
  const std::size_t dot = LastDelimiter(name, ".");
  if (dot == std::string::npos) return std::string();
  const std::string extension = platform::FoldFileName(name.substr(dot));
  return extension == ".M3U" || extension == ".M3U8" ? extension : std::string();
}

}  // namespace

std::vector<platform::FoundEntry> SourcePlaylists(const std::vector<platform::FoundEntry>& entries,
                                                  std::vector<platform::Message>* notices) {
  // Folded base name -> the ".m3u8" of that name.
  std::unordered_map<std::string, std::string> m3u8Of;
  for (const platform::FoundEntry& entry : entries) {
    if (PlaylistExtension(entry.name) == ".M3U8") {
      m3u8Of.emplace(platform::FoldFileName(PlaylistBaseName(entry.name)), entry.name);
    }
  }
  std::vector<platform::FoundEntry> playlists;
  for (const platform::FoundEntry& entry : entries) {
    const std::string extension = PlaylistExtension(entry.name);
    if (extension.empty()) continue;
    if (extension == ".M3U") {
      const auto twin = m3u8Of.find(platform::FoldFileName(PlaylistBaseName(entry.name)));
      if (twin != m3u8Of.end()) {
        notices->push_back(platform::Message(kSkippedForM3u8, {entry.name, twin->second}));
        continue;
      }
    }
    playlists.push_back(entry);
  }
  return playlists;
}

namespace {

constexpr char kPathsLine[] = "Paths=2";
constexpr char kCodePagePrefix[] = "CodePage=";

bool StartsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

// The lines that say how keys are made: all but the two below.
TLines KeyMakingLines(const TLines& record) {
  TLines lines;
  for (const std::string& line : record) {
    if (line != kPathsLine && !StartsWith(line, kCodePagePrefix)) lines.push_back(line);
  }
  return lines;
}

std::string CodePageLine(const TLines& record) {
  for (const std::string& line : record) {
    if (StartsWith(line, kCodePagePrefix)) return line;
  }
  return std::string();
}

}  // namespace

TLines KeyRecordLines(const TLibraryContext& context) {
  // Keys=2: INFO texts end at their first zero and keys hold no control
  // byte. A library without the record was built before that.
  TLines lines{"Keys=2", std::string("ReadID3v2=") + (context.ReadID3v2 ? "1" : "0")};
  // Only a Unicode library says so: a library in the code page is recorded
  // as it always was, and is not built again for nothing.
  if (context.UnicodeLibrary) lines.push_back("UnicodeLibrary=1");
  // Likewise the albums told apart by album artist.
  if (context.GroupsByAlbumArtist()) lines.push_back("GroupByAlbumArtist=1");
  // Paths=2: lines relative to the playlist's folder, "file:" URLs and
  // "#UTF8" are read as the player reads them.
  lines.push_back(kPathsLine);
  lines.push_back(kCodePagePrefix + std::to_string(platform::SystemCodePage()));
  return lines;
}

TKeyRecordChange CompareKeyRecord(const TLines& recorded, const TLines& present) {
  TKeyRecordChange change;
  change.RebuildAll = recorded.empty() || KeyMakingLines(recorded) != KeyMakingLines(present);
  // A record from before the code page was recorded was made on this one, or
  // it would have been read as other characters all along.
  const std::string codePage = CodePageLine(recorded);
  change.CodePageChanged = !codePage.empty() && codePage != CodePageLine(present);
  if (change.CodePageChanged) change.RebuildAll = true;
  change.ResolveLinesAgain =
      !change.RebuildAll && std::find(recorded.begin(), recorded.end(), kPathsLine) == recorded.end();
  return change;
}

TLibraryUpdate::TLibraryUpdate(const TLibraryContext& context, TUpdateProgress& progress)
    : context_(context), progress_(progress) {}

bool TLibraryUpdate::ReadPreviousList() {
  previous_.clear();
  const std::string path = context_.AppDir + "playlist.log";
  try {
    ReadTextList(path, &previous_);
  } catch (const platform::Error& e) {
    progress_.ReportFailure(e.Text());
    return previousRead_ = false;
  } catch (const std::exception&) {
    previous_.clear();
    progress_.ReportFailure(platform::Message(kErrCannotProcess, path));
    return previousRead_ = false;
  }
  return previousRead_ = true;
}

bool TLibraryUpdate::Scan(const std::string& playlistFolder) {
  if (!previousRead_) return false;
  if (IsLibraryCacheFolder(context_, playlistFolder)) {
    progress_.ReportFailure(platform::Message(kErrFolderIsCache, playlistFolder));
    previousRead_ = false;
    return false;
  }
  // Listed once, before the first build writes anything: the count is the
  // list's, and files written meanwhile (a cache folder chosen as the
  // playlist folder) are not scanned. The whole folder is listed and the
  // long names are filtered: "*.m3u" would also match "x.m3u8" through its
  // short name.
  std::vector<platform::Message> twinNotices;
  std::vector<platform::FoundEntry> entries =
      SourcePlaylists(platform::FindEntries(playlistFolder + "\\*"), &twinNotices);
  for (const platform::Message& notice : twinNotices) progress_.ShowNotice(notice);
  progress_.SetProgressMaximum(static_cast<int>(entries.size()) + 1);
  const std::string recordPath = context_.AppDir + kKeyRecordName;
  const TLines record = KeyRecordLines(context_);
  TLines recorded;
  try {
    ReadTextList(recordPath, &recorded);
  } catch (const std::exception&) {
    // Unreadable is as good as missing: everything is built again.
    recorded.clear();
  }
  const TKeyRecordChange change = CompareKeyRecord(recorded, record);
  if (change.CodePageChanged) {
    // Its ".log" files would be read as other names and leave the old files
    // behind: every file the library writes goes, before the record does,
    // so that a stop in between finds the same change again.
    for (const char* mask : {"*.log", "*.mp3log", "*.dat", "*.m3u", "*.m3u8"}) DeleteFilesByMask(context_.CacheFolder() + mask);
    previous_.clear();
  }
  if (change.RebuildAll) {
    // From the first file rebuilt until the last, the library is neither
    // the old one nor the new: without a record, any later update, whatever
    // its settings, builds every playlist again.
    if (!platform::RemoveFile(recordPath) && platform::FileExists(recordPath)) {
      progress_.ReportFailure(platform::Message(platform::kErrCannotWrite, recordPath));
      previousRead_ = false;
      return false;
    }
  }
  TPlaylistScan scan(context_, playlistFolder, std::move(previous_), progress_, change.RebuildAll,
                     change.ResolveLinesAgain);
  stopped_ = false;
  for (const platform::FoundEntry& entry : entries) {
    if (progress_.StopRequested()) {
      stopped_ = true;
      break;
    }
    progress_.BeginPlaylist(entry.name);
    // Its ".log" could not name its files in the code page.
    if (!FitsLibrary(context_, entry.name)) {
      scan.UnfitNames().insert(entry.name);
    } else {
      scan.CheckPlaylist(entry.name, entry.stamp);
    }
    progress_.StepProgress();
    progress_.PlaylistDone();
  }
  progress_.BeginPlaylist(std::string());
  // A stopped scan has not seen every playlist, so it cannot tell which
  // ones vanished.
  if (!stopped_) scan.PurgeVanishedPlaylists();
  if (!scan.UnfitNames().empty()) {
    progress_.ShowNotice(platform::Message(kUnfitNamesNotice, std::to_string(scan.UnfitNames().size())));
  }
  bool ok = !scan.HadFailures() && !stopped_;
  try {
    WriteTextList(context_.AppDir + "playlist.log", stopped_ ? scan.StoppedLines() : scan.NewLines(),
                  context_.UnicodeLibrary);
    // Only now, and only after every playlist was seen: a stop before this
    // leaves no record (or the old one, for lines to resolve again), and the
    // next update goes on. A playlist that failed is recorded without a
    // stamp, so it is built again whatever the record says.
    if (recorded != record && !stopped_) WriteTextList(recordPath, record, context_.UnicodeLibrary);
  } catch (const platform::Error& e) {
    progress_.ReportFailure(e.Text());
    ok = false;
  }
  previousRead_ = false;
  return ok;
}

TLibraryUpdate::Outcome TLibraryUpdate::Run(std::string* playListPath) {
  const bool readOk = ReadPreviousList();
  *playListPath = TrimTrailingBackslashes(*playListPath);
  if (playListPath->empty() || !platform::DirectoryExists(*playListPath)) return Outcome::FolderMissing;
  if (IsLibraryCacheFolder(context_, *playListPath)) return Outcome::FolderIsCache;
  if (!readOk) return Outcome::DoneWithFailures;
  if (Scan(*playListPath)) return Outcome::Done;
  return stopped_ ? Outcome::Stopped : Outcome::DoneWithFailures;
}
