#pragma once
// The artist and album index of one playlist and the names of its derived
// files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "library/ComparisonIndex.h"
#include "library/TextList.h"
#include "library/UpdateProgress.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

class TMP3Tag;

// What a library operation needs to know of the program.
struct TLibraryContext {
  std::string AppDir;  // ends in a backslash
  bool CheckMP3OnUpdate = false;
  // Whether an MP3 track's ID3v2 tag names its artist and album before the
  // INFO texts and the ID3v1 trailer do.
  bool ReadID3v2 = false;
  // Whether albums are told apart by their album artist and tracks are filed
  // under it in the artist tree; it needs ReadID3v2, where the album artist
  // is read.
  bool GroupByAlbumArtist = false;
  // When set, each build's tag reader is held here while the build runs
  // (the main object's reader field); a fresh idle reader is left afterwards.
  std::unique_ptr<TMP3Tag>* TagReaderHolder = nullptr;
  // Whether the library keeps every name in any script: generated playlists
  // are ".m3u8" and every file of the library is UTF-8 with a BOM. Off, the
  // files are the system code page's, and names it cannot hold are left out.
  bool UnicodeLibrary = false;

  std::string CacheFolder() const { return AppDir + "playlist\\"; }
  bool GroupsByAlbumArtist() const { return ReadID3v2 && GroupByAlbumArtist; }
};

// The album artist of a compilation, and of an album whose tracks name
// several artists and no album artist.
inline constexpr const char* kVariousArtists = "Various Artists";

// An album told apart by its album artist is keyed by its name, a TAB and the
// album artist: no other key holds a control byte, so the album index's lines
// say which kind they are. An album without an album artist is keyed by its
// name alone, as every album is while the option is off.
std::string AlbumKey(const std::string& name, const std::string& albumArtist);
void SplitAlbumKey(const std::string& key, std::string* name, std::string* albumArtist);
// The texts the album tree shows for the lines of an album index, in their
// order: the album's name, followed by " (" album artist ")" where another
// album of the index has the same name (letter case ignored).
std::vector<std::string> AlbumNodeTexts(const std::vector<std::string>& keys);

// The names an update left out because the system code page cannot hold
// them (a library without UnicodeLibrary): tag texts, track paths, playlist
// file names. Each is counted once in the update's notice.
using TUnfitNames = std::unordered_set<std::string>;
// Whether a name can be kept by a library of this kind.
bool FitsLibrary(const TLibraryContext& context, const std::string& text);

// Keys with their groups of track paths. Keys are found without regard to
// case; the first spelling met is the key, unless it holds U+FFFD (a
// character its tag could not give) and a later one does not; entries keep
// the order of first meeting.
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

// Keys as they are grouped, written to the index and named in file names.
// Every control byte (0x00-0x1F) is gone from a key, a run of them becoming
// one blank, so that each line of an index reads back as the key written and
// names its generated file.
std::string KeyWithoutControlBytes(std::string text);
// A tag field as a key: blanks and control bytes (0-32) taken off both ends.
std::string TrimmedKey(const std::string& text);
// A RIFF INFO text (system code page bytes) as a key: up to its first zero
// byte, not trimmed; a lead byte cut off at its end is dropped.
std::string RiffInfoKey(const std::string& text);
// An ID3v1 field (system code page bytes) as a key: up to its first zero
// byte, trimmed; a lead byte cut off at its end is dropped.
std::string Id3v1Key(const char* field, std::size_t width);

// File names of the derived files (no folder).
// B: the playlist file name without its extension (from its last ".").
std::string PlaylistBaseName(const std::string& playlistFileName);
// A key as it may stand in a file name: the characters a file name cannot
// hold become full-width (MakeFileNameSafe), and the control bytes
// 0x00-0x1F become "%" and two upper-case hex digits.
std::string SafeKeyForFileName(const std::string& key, bool unicodeLibrary = false);
// 'B' Artist 'key'.m3u, 'B' Album 'key'.m3u ("Artist" or "Album" as kind;
// ".m3u8" in a Unicode library): the one mapping from a key to its generated
// playlist, for the build and for the playlist window. Distinct keys may
// share a name (AC/DC beside its full-width spelling); that file then holds
// the tracks of all of them. A name longer than 255 UTF-16 units or 255
// bytes of UTF-8, or one that would make the path in the cache folder longer
// than 259 units, is shortened (*shortened set): its key ends early (never
// inside a character) with "~" and eight hex digits of the whole key's hash
// (FNV-1a of its UTF-8 bytes); where even that is too long, the playlist's
// part ends early too, in "~", and the hash is of the playlist's name, a
// line end and the key.
std::string GeneratedPlaylistFileName(const TLibraryContext& context, const std::string& playlistBase,
                                      const std::string& kind, const std::string& key, bool* shortened = nullptr);
// The generated playlists of an index's keys, in the index's order: each
// key's name as above, except that a shortened name that an earlier key's
// name, or any name not shortened, already holds takes the hash again with a
// count after it, until it is free. So no two keys share a file through a
// shortened name, and the window finds a shortened one through the index.
std::vector<std::string> GeneratedPlaylistFileNames(const TLibraryContext& context, const std::string& playlistBase,
                                                    const std::string& kind, const TLines& keys);
// The generated playlist of an album key: 'B' Album 'name'.m3u, or, for an
// album with its album artist, 'B' Album 'album artist' 'name'.m3u (no key
// of the plain form can quote to that, as a plain key's quotes are doubled).
std::string AlbumPlaylistFileName(const TLibraryContext& context, const std::string& playlistBase,
                                  const std::string& key, bool* shortened = nullptr);
// 'B' Artist.dat, 'B' Album.dat.
std::string IndexFileName(const std::string& playlistBase, const std::string& kind);

// Whether the name's extension (from its last "." after its last "\" or
// ":") is ".mp3" or ".rmp" in any letter case.
bool HasMp3Extension(const std::string& path);

// The notice of a playlist with "file:" lines that name no usable path:
// the playlist, then how many.
inline constexpr const char* kUnusableUrlLines = "%s の file: URL %s 行は UTF-8 のパスとして読めないため飛ばしました";

// Whether a name read from the ".log" of the playlist whose base name is
// `playlistBase` is one of the files a build of that playlist writes: a
// plain name that starts with its quoted base (or the base cut short and
// "~", as a long generated name has it) and a blank, or its ".mp3log" (the
// generated playlists of either format). Letter case is ignored, as the
// file system ignores it.
bool IsOwnDerivedFileName(const std::string& name, const std::string& playlistBase);

// One build of a playlist's index: the groups, the time lines, the files.
class TPlaylistIndexBuild {
 public:
  TPlaylistIndexBuild(const TLibraryContext& context, TMP3Tag& tagReader);

  void ClassifyTrack(const std::string& trackPath);
  // Replaces the derived files of the playlist file named `playlistFileName`
  // with those of this build. Whenever the process stops, every derived file
  // on disk is named by the ".log", and the ".mp3log" (whose stamps let the
  // next update skip the playlist) is written only after every file it
  // vouches for. A file that cannot be written is recorded in Failures and
  // the others are still written; an old ".log" that cannot be read stops
  // the build before anything is changed.
  void WriteFiles(const std::string& playlistFileName);

  TGroupList Artists;
  TGroupList Albums;
  TLines TimeLines;
  TLines FileNames;
  std::vector<platform::Message> Failures;
  // Lines of the old ".log" that named no file of this playlist: passed
  // over, not deleted.
  std::vector<platform::Message> Notices;
  // Texts and paths left out for the system code page; none when unset.
  TUnfitNames* UnfitNames = nullptr;

 private:
  // A derived file to write: its name and its lines.
  struct TPlannedFile {
    std::string Name;
    TLines Lines;
  };
  void PlanGroups(TGroupList& list, const std::string& base, const std::string& kind);
  // Files the album tracks met, each under its name and album artist.
  void GroupAlbums();
  // An album track met while albums are told apart by album artist: filed
  // only once every track of the playlist is known.
  struct TAlbumTrack {
    std::string Album, AlbumArtist, Artist, Path;
  };
  std::vector<TAlbumTrack> albumTracks_;
  bool Write(const std::string& folder, const std::string& name, const TLines& lines);
  // Whether the library can keep the text; one that it cannot is recorded.
  bool Keeps(const std::string& text);

  const TLibraryContext& context_;
  TMP3Tag& tagReader_;
  std::vector<TPlannedFile> planned_;
  std::string text_, bytes_;  // the file being written, its buffers kept for the next
};

// The text of a ".log" line passed over: the ".log", then the line.
inline constexpr const char* kSkippedCacheLine = "%s の次の行はこのプレイリストのファイル名ではないため飛ばしました: %s";

// Builds the index of the playlist file P (full path) whose text was read
// already (PlaylistText). Answers the failures met (empty when all went
// well); a track that cannot be opened is filed nowhere and is one of them.
// Lines of the old ".log" that were passed over go to `notices` when given;
// the tag reader's notices go to `progress` (dropped without one); names the
// library could not keep go to `unfitNames`.
std::vector<platform::Message> BuildPlaylistIndexFromText(const TLibraryContext& context,
                                                         const std::string& playlistPath,
                                                         const std::string& playlistText,
                                                         std::vector<platform::Message>* notices = nullptr,
                                                         TUpdateProgress* progress = nullptr,
                                                         TUnfitNames* unfitNames = nullptr);
// The same, reading the playlist first; a playlist that cannot be read is
// raised as platform::Error before anything is written.
std::vector<platform::Message> BuildPlaylistIndex(const TLibraryContext& context, const std::string& playlistPath);
