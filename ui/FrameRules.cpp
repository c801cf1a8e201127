#include "ui/FrameRules.h"

#include <algorithm>
#include <utility>

#include "library/LibraryUpdate.h"
#include "library/PlaylistIndex.h"
#include "library/TextList.h"
#include "platform/FileSystem.h"

TLibraryContext LibraryContextOf(const TInfo& info, std::unique_ptr<TMP3Tag>* tagReaderHolder) {
  TLibraryContext context;
  context.AppDir = info.AppDir;
  context.CheckMP3OnUpdate = info.CheckMP3OnUpdate;
  context.ReadID3v2 = info.ReadID3v2;
  context.GroupByAlbumArtist = info.GroupByAlbumArtist;
  context.UnicodeLibrary = info.UnicodeLibrary;
  context.TagReaderHolder = tagReaderHolder;
  return context;
}

bool CornerPosition(int playlistPos, const platform::Rect& workArea, int width, int height, int* left, int* top) {
  if (playlistPos < 0 || playlistPos > 3) return false;
  const bool right = playlistPos >= 2;
  const bool bottom = playlistPos == 1 || playlistPos == 3;
  *left = right ? workArea.right - width : 0;
  *top = bottom ? workArea.bottom - height : 0;
  return true;
}

int FitPaneSize(int size, int room, int minimum) {
  if (room < 2 * minimum) return room > 0 ? room / 2 : 0;
  return std::clamp(size, minimum, room - minimum);
}

bool RightClickSelects(bool nodeUnderPointer, int selectedCount) { return nodeUnderPointer && selectedCount < 2; }


std::string PlaylistFileOfNode(TTreeKind tree, const std::string& nodeText, const std::string* currentPlaylist,
                               const std::string& playListPath, const TLibraryContext& library) {
  if (tree == TTreeKind::Playlist) {
    const std::string utf8 = playListPath + "\\" + nodeText + ".m3u8";
    return platform::FileExists(utf8) ? utf8 : playListPath + "\\" + nodeText + ".m3u";
  }
  if (!currentPlaylist) return std::string();
  // The library's own naming, so the window finds exactly what the update wrote.
  const std::string kind = tree == TTreeKind::Artist ? "Artist" : "Album";
  bool shortened = false;
  std::string name = tree == TTreeKind::Artist
                         ? GeneratedPlaylistFileName(library, *currentPlaylist, kind, nodeText, &shortened)
                         : AlbumPlaylistFileName(library, *currentPlaylist, nodeText, &shortened);
  if (shortened) {
    // A shortened name may have been made unique among the index's names:
    // the index, which the tree shows, says which one it is.
    std::vector<std::string> keys;
    ReadIndexNodes(IndexFilePath(library.AppDir, *currentPlaylist, kind), &keys);
    const auto at = std::find(keys.begin(), keys.end(), nodeText);
    if (at != keys.end()) {
      name = GeneratedPlaylistFileNames(library, *currentPlaylist, kind, keys)[static_cast<std::size_t>(at - keys.begin())];
    }
  }
  return library.CacheFolder() + name;
}

std::string PlaylistArgument(const std::string& path) { return " \"" + path + "\""; }

std::string PlayerProgramText(const std::string& playerPath) {
  if (playerPath.find_first_of(" \t") == std::string::npos) return playerPath;
  return "\"" + playerPath + "\"";
}

std::vector<std::string> PlayCommandLines(const std::string& playerPath, const std::vector<std::string>& arguments,
                                          bool addMode) {
  const std::string program = PlayerProgramText(playerPath);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const bool add = addMode || i > 0;
    lines.push_back(program + (add ? " /ADD" : "") + arguments[i]);
  }
  return lines;
}

std::string IndexFilePath(const std::string& appDir, const std::string& playlist, const std::string& kind) {
  return appDir + "playlist\\" + IndexFileName(playlist, kind);
}

bool ReadIndexNodes(const std::string& path, std::vector<std::string>* nodes) {
  nodes->clear();
  return ReadTextList(path, nodes);
}

std::vector<std::string> PlaylistNodeNames(const std::string& playListPath) {
  // The update's own choice of source playlists, so the tree lists the ones
  // it builds; its notices are the update's to give.
  std::vector<platform::Message> passedOver;
  std::vector<std::string> names;
  for (const platform::FoundEntry& entry : SourcePlaylists(platform::FindEntries(playListPath + "\\*"), &passedOver)) {
    names.push_back(PlaylistBaseName(entry.name));
  }
  return names;
}
