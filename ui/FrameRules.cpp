#include "ui/FrameRules.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "library/PlaylistIndex.h"
#include "library/TextList.h"
#include "platform/FileSystem.h"

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

namespace {

// ".m3u" (1), ".m3u8" (2) or neither (0), in any letter case.
int PlaylistExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return 0;
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".m3u" ? 1 : ext == ".m3u8" ? 2 : 0;
}

}  // namespace

std::string PlaylistFileOfNode(TTreeKind tree, const std::string& nodeText, const std::string* currentPlaylist,
                               const std::string& playListPath, const std::string& appDir, bool unicodeLibrary) {
  if (tree == TTreeKind::Playlist) {
    const std::string utf8 = playListPath + "\\" + nodeText + ".m3u8";
    return platform::FileExists(utf8) ? utf8 : playListPath + "\\" + nodeText + ".m3u";
  }
  if (!currentPlaylist) return std::string();
  // The library's own naming, so the window finds exactly what the update wrote.
  TLibraryContext context;
  context.AppDir = appDir;
  context.UnicodeLibrary = unicodeLibrary;
  return context.CacheFolder() +
         GeneratedPlaylistFileName(context, *currentPlaylist, tree == TTreeKind::Artist ? "Artist" : "Album", nodeText);
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
  // Listed whole and judged by the long names: "*.m3u" would also match an
  // ".m3u8" (and other names) through its short name.
  std::vector<std::pair<std::string, int>> found;
  std::unordered_set<std::string> utf8Lists;
  platform::ForEachEntry(playListPath + "\\*", [&](const platform::FoundEntry& entry) {
    const int extension = PlaylistExtension(entry.name);
    if (extension == 0) return true;
    found.emplace_back(PlaylistBaseName(entry.name), extension);
    if (extension == 2) utf8Lists.insert(platform::FoldFileName(found.back().first));
    return true;
  });
  std::vector<std::string> names;
  for (auto& [name, extension] : found) {
    if (extension == 1 && utf8Lists.count(platform::FoldFileName(name))) continue;
    names.push_back(std::move(name));
  }
  return names;
}
