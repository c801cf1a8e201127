#pragma once
// The playlist window's rules that need no window: where it goes, what a right
// click selects, which file a node stands for and the player's command lines.
#include <functional>
#include <string>
#include <vector>

#include "library/PlaylistIndex.h"
#include "platform/Types.h"
#include "ui/Settings.h"

// What the library needs of the settings, for the update and for the window
// that finds the files it wrote; `tagReaderHolder` is the main object's
// reader, held during an update's builds.
TLibraryContext LibraryContextOf(const TInfo& info, std::unique_ptr<TMP3Tag>* tagReaderHolder = nullptr);


// The top-left corner for a PlaylistPos (0 top left, 1 bottom left, 2 top
// right, 3 bottom right) in the work area; the area's own left and top are not
// used. False for any other value: the window stays where it is.
bool CornerPosition(int playlistPos, const platform::Rect& workArea, int width, int height, int* left, int* top);

// A right button pressed in a tree: true when the node under the pointer is
// to become the one selected node (there is one, and fewer than two nodes are
// selected), false when the selection stays as it is.
bool RightClickSelects(bool nodeUnderPointer, int selectedCount);

// A splitter's pane (the playlist tree's width, the artist tree's height)
// within the room the window leaves the two panes beside the splitter: each
// keeps at least `minimum`, and a room too small for that is shared equally.
// A size from the settings file or from before the window shrank must not
// push a tree out of the window and leave the others nothing.
int FitPaneSize(int size, int room, int minimum);

enum class TTreeKind { Playlist, Artist, Album };

// The playlist file a node stands for. A playlist node is its ".m3u8" where
// there is one, else its ".m3u". An album node is named by its line of the
// album index (its key), which may differ from the text shown. An artist or
// album node needs the playlist
// it belongs to (currentPlaylist); without one there is no file and the
// result is empty. Its file is a ".m3u8" in a Unicode library.
std::string PlaylistFileOfNode(TTreeKind tree, const std::string& nodeText, const std::string* currentPlaylist,
                               const std::string& playListPath, const TLibraryContext& library);
// A blank and the path in double quotes.
std::string PlaylistArgument(const std::string& path);
// The player program at the head of a command line: in double quotes when it
// holds a blank, or the command line would start a program named by its first
// word.
std::string PlayerProgramText(const std::string& playerPath);
// One command line per argument, in order: the first replaces the player's
// play list unless addMode, every other one is added.
std::vector<std::string> PlayCommandLines(const std::string& playerPath, const std::vector<std::string>& arguments,
                                          bool addMode);

// The index file of a playlist ("Artist" or "Album").
std::string IndexFilePath(const std::string& appDir, const std::string& playlist, const std::string& kind);
// The nodes of an index file, one per line in file order, each with the whole
// line as its text: a name that begins with blanks stays that name, so the
// generated playlist is found under it. False when there is no such file.
bool ReadIndexNodes(const std::string& path, std::vector<std::string>* nodes);

// The playlist tree's nodes: every entry of PlayListPath (of any kind) whose
// own name ends in ".m3u" or ".m3u8" in any letter case, in the order the file
// system gives them, each named without its extension. No sorting. Where
// "A.m3u8" and "A.m3u" are both there, "A.m3u8" is the playlist "A" and the
// other gives no node.
std::vector<std::string> PlaylistNodeNames(const std::string& playListPath);
