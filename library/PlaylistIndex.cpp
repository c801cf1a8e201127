#include "library/PlaylistIndex.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "library/Id3v2Tag.h"
#include "library/MP3Tag.h"
#include "library/PathText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

TGroupEntry* TGroupList::Find(const std::string& key) {
  const std::size_t entry = index_.Find(key, [this](std::size_t e) { return std::string_view(entries_[e].Key); });
  return entry == TComparisonIndex::kNone ? nullptr : &entries_[entry];
}

TGroupEntry& TGroupList::Append(const std::string& key) {
  entries_.push_back(TGroupEntry{key, {}});
  // An equal key appended again stays behind the first one.
  index_.Insert(key, entries_.size() - 1, [this](std::size_t e) { return std::string_view(entries_[e].Key); });
  return entries_.back();
}

TGroupEntry& TGroupList::FindOrAppend(const std::string& key) {
  entries_.push_back(TGroupEntry{key, {}});
  const std::size_t index = entries_.size() - 1;
  const std::size_t held =
      index_.Insert(key, index, [this](std::size_t e) { return std::string_view(entries_[e].Key); });
  if (held != index) {
    entries_.pop_back();
    // The comparison passes over U+FFFD, which stands for a character a tag
    // could not give: the group is named by a spelling that has none.
    static const std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string& spelling = entries_[held].Key;
    if (spelling.find(kReplacement) != std::string::npos && key.find(kReplacement) == std::string::npos) {
      spelling = key;
    }
  }
  return entries_[held];
}

void AddToGroup(TGroupList& list, const std::string& key, const std::string& trackPath) {
  list.FindOrAppend(key).Tracks.push_back(trackPath);
}

std::string PlaylistBaseName(const std::string& playlistFileName) {
  const std::size_t dot = LastDelimiter(playlistFileName, ".");
  return dot == std::string::npos ? playlistFileName : playlistFileName.substr(0, dot);
}

std::string SafeKeyForFileName(const std::string& key, bool unicodeLibrary) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(key.size());
  for (const char c : key) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20) {
      escaped += '%';
      escaped += kHex[b >> 4];
      escaped += kHex[b & 15];
    } else {
      escaped += c;
    }
  }
  return MakeFileNameSafe(escaped, unicodeLibrary);
}

namespace {

// The length of UTF-8 text in UTF-16 units, as the system counts a name.
std::size_t Utf16Length(const std::string& text) {
  std::size_t units = 0;
  for (const char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++units;
    if (b >= 0xF0) ++units;  // a surrogate pair
  }
  return units;
}

std::uint32_t Fnv1a32(const std::string& text, std::uint32_t hash = 2166136261u) {
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

constexpr std::size_t kMaxNameUnits = 255;
// Under Wine a Windows name is also a Linux one, which holds 255 bytes of
// UTF-8: a name of 90 Japanese characters fits Windows and not the host. One
// rule for both keeps a library the same wherever it is built.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::size_t kMaxPathUnits = 259;  // MAX_PATH less its ending NUL
constexpr std::size_t kTailSize = 9;        // "~" and eight hex digits

// "~" and eight hex digits of a hash; `salt` > 0 makes another one for a
// name that another key's shortened name already holds.
std::string HashTail(const std::string& text, unsigned salt) {
  std::uint32_t hash = Fnv1a32(text);
  if (salt > 0) hash = Fnv1a32("\n" + std::to_string(salt), hash);
  char tail[16];
  std::snprintf(tail, sizeof tail, "~%08X", static_cast<unsigned>(hash));
  return tail;
}

// Room in UTF-16 units (the system's count) and in UTF-8 bytes (the host's).
struct TRoom {
  std::size_t units, bytes;
  bool Fits(std::size_t u, std::size_t b) const { return u <= units && b <= bytes; }
  TRoom Less(std::size_t u, std::size_t b) const { return {units > u ? units - u : 0, bytes > b ? bytes - b : 0}; }
};

// Whole characters of `text` from its start while they fit the room (a quote
// takes two, as it is doubled); what they take leaves the room.
std::string CutToRoom(const std::string& text, TRoom* room) {
  std::size_t cut = 0;
  while (cut < text.size()) {
    std::size_t next = cut + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    const std::string character = text.substr(cut, next - cut);
    const std::size_t units = character == "'" ? 2 : Utf16Length(character);
    const std::size_t bytes = character == "'" ? 2 : character.size();
    if (!room->Fits(units, bytes)) break;
    *room = room->Less(units, bytes);
    cut = next;
  }
  return text.substr(0, cut);
}

// The size of the text in single quotes, its own quotes doubled.
std::size_t QuotedUnits(const std::string& text) {
  return Utf16Length(text) + 2 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\''));
}
std::size_t QuotedBytes(const std::string& text) {
  return text.size() + 2 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\''));
}

std::string QuotedName(const std::string& base, const std::string& middle, const std::string& key,
                       const std::string& extension) {
  std::string name;
  name.reserve(base.size() + middle.size() + key.size() + extension.size() + 8);
  AppendQuotedText(base.data(), base.size(), &name);
  name += middle;
  AppendQuotedText(key.data(), key.size(), &name);
  return name + extension;
}

std::string GeneratedName(const TLibraryContext& context, const std::string& playlistBase, const std::string& kind,
                          const std::string& key, unsigned salt, bool* shortened) {
  const std::string safe = SafeKeyForFileName(key, context.UnicodeLibrary);
  const std::string extension = context.UnicodeLibrary ? ".m3u8" : ".m3u";
  const std::string middle = " " + kind + " ";
  const std::size_t folderUnits = Utf16Length(context.CacheFolder());
  // The room of the two quoted parts.
  const TRoom room = TRoom{std::min(kMaxNameUnits, kMaxPathUnits > folderUnits ? kMaxPathUnits - folderUnits : 0),
                           kMaxNameBytes}
                         .Less(Utf16Length(middle) + extension.size(), middle.size() + extension.size());
  *shortened = salt > 0 || !room.Fits(QuotedUnits(playlistBase) + QuotedUnits(safe),
                                      QuotedBytes(playlistBase) + QuotedBytes(safe));
  if (!*shortened) return QuotedName(playlistBase, middle, safe, extension);
  if (room.Fits(QuotedUnits(playlistBase) + 2 + kTailSize, QuotedBytes(playlistBase) + 2 + kTailSize)) {
    // The key ends early; the playlist's part stays whole, as it always has.
    TRoom left = room.Less(QuotedUnits(playlistBase) + 2 + kTailSize, QuotedBytes(playlistBase) + 2 + kTailSize);
    return QuotedName(playlistBase, middle, CutToRoom(safe, &left) + HashTail(key, salt), extension);
  }
  // A long name of the playlist's own: both parts end early, each at most
  // half the room. The playlist's part ends in "~"; one hash of the
  // playlist's name and the key keeps the name apart from every other.
  TRoom left = room.Less(3 + 2 + kTailSize, 3 + 2 + kTailSize);
  TRoom rest{left.units / 2, left.bytes / 2};
  std::string shortBase = CutToRoom(playlistBase, &rest);
  TRoom used{left.units / 2 - rest.units, left.bytes / 2 - rest.bytes};
  if (shortBase.empty()) {
    // One character at least, so that the name tells whose it is.
    std::size_t end = 1;
    while (end < playlistBase.size() && (static_cast<unsigned char>(playlistBase[end]) & 0xC0) == 0x80) ++end;
    rest = left;
    shortBase = CutToRoom(playlistBase.substr(0, end), &rest);
    used = TRoom{left.units - rest.units, left.bytes - rest.bytes};
  }
  left = left.Less(used.units, used.bytes);
  return QuotedName(shortBase + "~", middle, CutToRoom(safe, &left) + HashTail(playlistBase + "\n" + key, salt),
                    extension);
}

// An album told apart by its album artist ("name<TAB>album artist") is named
// 'B' Album 'album artist' 'name': the album artist goes into the kind's part.
std::pair<std::string, std::string> NameParts(const TLibraryContext& context, const std::string& kind,
                                              const std::string& key) {
  const std::size_t tab = kind == "Album" ? key.find('\t') : std::string::npos;
  if (tab == std::string::npos) return {kind, key};
  return {kind + " " + QuotedText(SafeKeyForFileName(key.substr(tab + 1), context.UnicodeLibrary)), key.substr(0, tab)};
}

}  // namespace

std::string GeneratedPlaylistFileName(const TLibraryContext& context, const std::string& playlistBase,
                                      const std::string& kind, const std::string& key, bool* shortened) {
  bool cut = false;
  std::string name = GeneratedName(context, playlistBase, kind, key, 0, &cut);
  if (shortened) *shortened = cut;
  return name;
}

std::string AlbumKey(const std::string& name, const std::string& albumArtist) {
  return albumArtist.empty() ? name : name + '\t' + albumArtist;
}

void SplitAlbumKey(const std::string& key, std::string* name, std::string* albumArtist) {
  const std::size_t tab = key.find('\t');
  *name = key.substr(0, tab);
  *albumArtist = tab == std::string::npos ? std::string() : key.substr(tab + 1);
}

std::vector<std::string> AlbumNodeTexts(const std::vector<std::string>& keys) {
  if (std::none_of(keys.begin(), keys.end(), [](const std::string& k) { return k.find('\t') != std::string::npos; })) {
    return keys;
  }
  std::vector<std::string> names(keys.size()), artists(keys.size());
  std::unordered_map<std::string, int> count;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    SplitAlbumKey(keys[i], &names[i], &artists[i]);
    ++count[platform::CaseInsensitiveKey(names[i])];
  }
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!artists[i].empty() && count[platform::CaseInsensitiveKey(names[i])] > 1) names[i] += " (" + artists[i] + ")";
  }
  return names;
}

std::string AlbumPlaylistFileName(const TLibraryContext& context, const std::string& playlistBase,
                                  const std::string& key, bool* shortened) {
  const auto [partKind, partKey] = NameParts(context, "Album", key);
  return GeneratedPlaylistFileName(context, playlistBase, partKind, partKey, shortened);
}

std::vector<std::string> GeneratedPlaylistFileNames(const TLibraryContext& context, const std::string& playlistBase,
                                                    const std::string& kind, const TLines& keys) {
  std::vector<std::string> names(keys.size());
  std::vector<bool> cut(keys.size());
  bool anyCut = false;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    bool shortened = false;
    const auto [partKind, partKey] = NameParts(context, kind, keys[i]);
    names[i] = GeneratedName(context, playlistBase, partKind, partKey, 0, &shortened);
    cut[i] = shortened;
    anyCut = anyCut || shortened;
  }
  if (!anyCut) return names;
  // Names as they are: keys that meet in one of them share it, as always.
  std::unordered_set<std::string> taken;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!cut[i]) taken.insert(platform::FoldFileName(names[i]));
  }
  // A shortened name stands for its key alone: one that another name holds
  // already is made again with another hash until it is free.
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!cut[i]) continue;
    bool shortened = false;
    const auto [partKind, partKey] = NameParts(context, kind, keys[i]);
    for (unsigned salt = 1; !taken.insert(platform::FoldFileName(names[i])).second; ++salt) {
      names[i] = GeneratedName(context, playlistBase, partKind, partKey, salt, &shortened);
    }
  }
  return names;
}

bool FitsLibrary(const TLibraryContext& context, const std::string& text) {
  std::string ansi;
  return context.UnicodeLibrary || platform::Utf8ToSystemExact(text, &ansi);
}

std::string IndexFileName(const std::string& playlistBase, const std::string& kind) {
  return QuotedText(playlistBase) + " " + kind + ".dat";
}

bool IsOwnDerivedFileName(const std::string& name, const std::string& playlistBase) {
  if (!IsPlainFileName(name)) return false;
  const std::string folded = platform::FoldFileName(name);
  // A quoted base followed by a blank can only be this base: any other
  // text's quoted form has a doubled quote or another byte there.
  const std::string prefix = platform::FoldFileName(QuotedText(playlistBase) + " ");
  if (folded.compare(0, prefix.size(), prefix) == 0 || folded == platform::FoldFileName(playlistBase + ".mp3log")) {
    return true;
  }
  // A long generated name: the base's first characters (one at least) and
  // "~" in quotes.
  const std::string first = UnquotedText(name);
  if (first.size() < 2 || first.back() != '~' || first.size() - 1 >= playlistBase.size()) return false;
  const std::string cut = first.substr(0, first.size() - 1);
  if (platform::FoldFileName(playlistBase.substr(0, cut.size())) != platform::FoldFileName(cut)) return false;
  const std::string quoted = QuotedText(first) + " ";
  return folded.compare(0, quoted.size(), platform::FoldFileName(quoted)) == 0;
}

bool HasMp3Extension(const std::string& path) {
  const std::size_t at = LastDelimiter(path, ".\\:");
  if (at == std::string::npos || path[at] != '.' || path.size() - at != 4) return false;
  char lower[4];
  for (int i = 0; i < 4; ++i) {
    const char c = path[at + i];
    lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  }
  return std::memcmp(lower, ".mp3", 4) == 0 || std::memcmp(lower, ".rmp", 4) == 0;
}

std::string KeyWithoutControlBytes(std::string text) {
  // The index file ends a line at CR or LF and the whole file at NUL, and a
  // file name cannot hold any control byte: a key that still held one would
  // read back as other keys, or name no file. A run of them (a CR LF, a tab)
  // stood between words, so it becomes one blank.
  std::size_t out = 0;
  bool inRun = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      if (!inRun) text[out++] = ' ';
      inRun = true;
    } else {
      text[out++] = c;
      inRun = false;
    }
  }
  text.resize(out);
  return text;
}

std::string TrimmedKey(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return KeyWithoutControlBytes(text.substr(begin, end - begin));
}

namespace {

// System code page bytes of a tag field in the inside form. A field cut to
// its width may end in half a double-byte character: that lead byte stands
// for nothing and is dropped.
std::string SystemFieldText(std::string bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!platform::IsLeadByte(static_cast<unsigned char>(bytes[i]))) continue;
    if (i + 1 == bytes.size()) bytes.pop_back();
    ++i;
  }
  return platform::SystemToUtf8(bytes);
}

}  // namespace

std::string RiffInfoKey(const std::string& text) {
  // The writers of INFO texts end them with a zero and pad them to an even
  // length: what follows the first zero was never part of the name.
  return KeyWithoutControlBytes(SystemFieldText(text.substr(0, text.find('\0'))));
}

std::string Id3v1Key(const char* field, std::size_t width) {
  // Trimmed as bytes: no trail byte is a blank or a control byte.
  std::string bytes = Id3FieldText(field, width);
  std::size_t begin = 0, end = bytes.size();
  while (begin < end && static_cast<unsigned char>(bytes[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(bytes[end - 1]) <= 32) --end;
  return TrimmedKey(SystemFieldText(bytes.substr(begin, end - begin)));
}

namespace {

// The tags of a track when ID3v2 tags are read: the first bytes of the file
// in one read serve the RIFF test, the ID3v2 header and its usual frames.
// When the ID3v2 tag names both artist and album so that the library keeps
// them, the ID3v1 trailer could change neither, and is not read. The ID3v2
// texts come back as keys.
void ReadTrackTags(const TLibraryContext& context, TMP3Tag& reader, const std::string& path, TTag* tag,
                   TId3v2Text* text, platform::FoundEntry* entry, bool* found) {
  *text = TId3v2Text();
  platform::ReadOnlyFile file;
  if (!(entry ? file.OpenIfFile(path, entry, found) : file.OpenIfFile(path))) {
    TMemoryTagSource nothing(nullptr, 0);
    reader.ReadTagFrom(nothing, path, tag);
    return;
  }
  TFileTagSource fileSource(file);
  TPrefetchedTagSource source(fileSource, kTrackPrefixBytes);
  const std::string& prefix = source.Prefix();
  const bool rmp3 = prefix.size() >= 12 && prefix.compare(0, 4, "RIFF") == 0 && prefix.compare(8, 4, "RMP3") == 0;
  if (!rmp3 && ReadId3v2Text(source, text, context.GroupsByAlbumArtist())) {
    text->Artist = TrimmedKey(text->Artist);
    text->Album = TrimmedKey(text->Album);
    text->Band = TrimmedKey(text->Band);
    text->AlbumArtistByName = TrimmedKey(text->AlbumArtistByName);
    if (!text->Artist.empty() && !text->Album.empty() && FitsLibrary(context, text->Artist) &&
        FitsLibrary(context, text->Album)) {
      *tag = TTag();
      return;
    }
  }
  source.Seek(0, TTagSource::Origin::kBegin);
  reader.ReadTagFrom(source, path, tag);
}

}  // namespace

TPlaylistIndexBuild::TPlaylistIndexBuild(const TLibraryContext& context, TMP3Tag& tagReader)
    : context_(context), tagReader_(tagReader) {}

void TPlaylistIndexBuild::ClassifyTrack(const std::string& trackPath) {
  if (!HasMp3Extension(trackPath)) return;
  TTag tag;
  // The time line comes from the open that reads the tag, and is kept even
  // when the file is there but cannot be read.
  platform::FoundEntry entry;
  bool found = false;
  std::vector<platform::Message> failure;
  TId3v2Text id3v2;
  try {
    if (context_.ReadID3v2) {
      ReadTrackTags(context_, tagReader_, trackPath, &tag, &id3v2, context_.CheckMP3OnUpdate ? &entry : nullptr, &found);
    } else {
      tagReader_.ReadTag(trackPath, &tag, context_.CheckMP3OnUpdate ? &entry : nullptr, &found);
    }
  } catch (const platform::Error& e) {
    failure.push_back(e.Text());
  }
  if (found) {
    std::string line;
    line.reserve(trackPath.size() + 16);
    AppendQuotedText(trackPath.data(), trackPath.size(), &line);
    line += '=';
    line += platform::StampText(entry.stamp);
    TimeLines.push_back(std::move(line));
  }
  if (!failure.empty()) {
    Failures.push_back(failure.front());
    return;
  }
  // A generated playlist in the code page cannot name a path it cannot hold.
  if (!Keeps(trackPath)) return;
  // A text the library cannot keep passes to the next source, as a blank
  // one does: so no two names merge into the code page's stand-in.
  std::string artist = Keeps(id3v2.Artist) ? std::move(id3v2.Artist) : std::string();  // already a key
  if (artist.empty()) artist = RiffInfoKey(tag.Artist);
  if (artist.empty() && tag.HasTag) artist = Id3v1Key(tag.Id3.Artist, sizeof tag.Id3.Artist);
  std::string album = Keeps(id3v2.Album) ? std::move(id3v2.Album) : std::string();
  if (album.empty()) album = RiffInfoKey(tag.Product);
  if (album.empty() && tag.HasTag) album = Id3v1Key(tag.Id3.Album, sizeof tag.Id3.Album);
  if (!context_.GroupsByAlbumArtist()) {
    if (!artist.empty()) AddToGroup(Artists, artist, trackPath);
    if (!album.empty()) AddToGroup(Albums, album, trackPath);
    return;
  }
  // A compilation is one node of the artist tree, under its album artist;
  // an artist's own albums stay under that artist.
  std::string albumArtist = Keeps(id3v2.Band) ? std::move(id3v2.Band) : std::string();
  if (albumArtist.empty() && Keeps(id3v2.AlbumArtistByName)) albumArtist = std::move(id3v2.AlbumArtistByName);
  if (albumArtist.empty() && id3v2.Compilation) albumArtist = kVariousArtists;
  const std::string& filed = albumArtist.empty() ? artist : albumArtist;
  if (!filed.empty()) AddToGroup(Artists, filed, trackPath);
  if (!album.empty()) albumTracks_.push_back(TAlbumTrack{album, std::move(albumArtist), artist, trackPath});
}

void TPlaylistIndexBuild::GroupAlbums() {
  // The tracks of one album name without an album artist: when those that
  // name an artist all name one, that artist is the album artist, otherwise
  // the album is a compilation. Tracks naming no artist decide nothing.
  struct TArtists {
    std::string First;
    bool Several = false;
  };
  TGroupList names;
  std::vector<TArtists> artists;
  std::vector<std::size_t> nameOf(albumTracks_.size(), TComparisonIndex::kNone);
  for (std::size_t t = 0; t < albumTracks_.size(); ++t) {
    const TAlbumTrack& track = albumTracks_[t];
    if (!track.AlbumArtist.empty()) continue;
    const TGroupEntry& entry = names.FindOrAppend(track.Album);
    nameOf[t] = static_cast<std::size_t>(&entry - names.Entries().data());
    if (artists.size() <= nameOf[t]) artists.resize(nameOf[t] + 1);
    TArtists& seen = artists[nameOf[t]];
    if (track.Artist.empty()) continue;
    if (seen.First.empty()) {
      seen.First = track.Artist;
    } else if (!platform::EqualIgnoringCase(seen.First.data(), seen.First.size(), track.Artist.data(),
                                            track.Artist.size())) {
      seen.Several = true;
    }
  }
  // An album is its name together with its album artist, each compared
  // without regard to case, as every key is.
  std::unordered_map<std::string, std::size_t> entryOf;
  for (std::size_t t = 0; t < albumTracks_.size(); ++t) {
    TAlbumTrack& track = albumTracks_[t];
    if (nameOf[t] != TComparisonIndex::kNone) {
      const TArtists& seen = artists[nameOf[t]];
      track.AlbumArtist = seen.Several ? std::string(kVariousArtists) : seen.First;
    }
    const std::string nameKey = platform::CaseInsensitiveKey(track.Album);
    const std::string identity =
        std::to_string(nameKey.size()) + ':' + nameKey + platform::CaseInsensitiveKey(track.AlbumArtist);
    const auto [at, added] = entryOf.try_emplace(identity, Albums.Entries().size());
    if (added) Albums.Append(AlbumKey(track.Album, track.AlbumArtist));
    Albums.Entries()[at->second].Tracks.push_back(std::move(track.Path));
  }
  std::vector<TAlbumTrack>().swap(albumTracks_);
}

bool TPlaylistIndexBuild::Keeps(const std::string& text) {
  if (text.empty() || FitsLibrary(context_, text)) return true;
  if (UnfitNames) UnfitNames->insert(text);
  return false;
}

bool TPlaylistIndexBuild::Write(const std::string& folder, const std::string& name, const TLines& lines) {
  try {
    FormatTextListInto(lines, &text_);
    EncodeLibraryText(text_, context_.UnicodeLibrary, &bytes_);
    platform::WriteRebuildableFile(folder + "\\" + name, bytes_);
    return true;
  } catch (const platform::Error& e) {
    Failures.push_back(e.Text());
    return false;
  }
}

void TPlaylistIndexBuild::PlanGroups(TGroupList& list, const std::string& base, const std::string& kind) {
  const std::string indexName = IndexFileName(base, kind);
  FileNames.push_back(indexName);
  // Sorted by the comparison's keys: their byte order is the comparison's.
  auto& entries = list.Entries();
  // An album with its album artist sorts by its name, then its album artist.
  std::vector<std::tuple<std::string, std::string, std::size_t>> order;
  order.reserve(entries.size());
  std::string name, albumArtist;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SplitAlbumKey(entries[i].Key, &name, &albumArtist);
    order.emplace_back(platform::CaseInsensitiveKey(name), platform::CaseInsensitiveKey(albumArtist), i);
  }
  std::sort(order.begin(), order.end());
  TLines keys;
  keys.reserve(order.size());
  for (const auto& o : order) keys.push_back(entries[std::get<2>(o)].Key);
  planned_.push_back(TPlannedFile{indexName, std::move(keys)});
  // Keys that differ may still share a file name (or differ in it only in
  // letter case): their tracks go into one file, in index order, so that no
  // group is written over another.
  std::unordered_map<std::string, std::size_t> fileOf;
  fileOf.reserve(order.size());
  std::vector<std::string> names = GeneratedPlaylistFileNames(context_, base, kind, planned_.back().Lines);
  for (std::size_t k = 0; k < order.size(); ++k) {
    TGroupEntry& entry = entries[std::get<2>(order[k])];
    std::string name = std::move(names[k]);
    const auto [at, added] = fileOf.try_emplace(platform::FoldFileName(name), planned_.size());
    if (added) {
      FileNames.push_back(name);
      planned_.push_back(TPlannedFile{std::move(name), std::move(entry.Tracks)});
    } else {
      TLines& tracks = planned_[at->second].Lines;
      tracks.insert(tracks.end(), std::make_move_iterator(entry.Tracks.begin()),
                    std::make_move_iterator(entry.Tracks.end()));
    }
    TLines().swap(entry.Tracks);
  }
}

void TPlaylistIndexBuild::WriteFiles(const std::string& playlistFileName) {
  const std::string base = PlaylistBaseName(playlistFileName);
  const std::string folder = context_.AppDir + "playlist";
  const std::string logName = base + ".log";
  const std::string logPath = folder + "\\" + logName;
  const std::string mp3LogName = base + ".mp3log";
  if (context_.GroupsByAlbumArtist()) GroupAlbums();
  PlanGroups(Artists, base, "Artist");
  PlanGroups(Albums, base, "Album");
  const bool writesMp3Log = !TimeLines.empty();
  if (writesMp3Log) FileNames.push_back(mp3LogName);

  // The names of the old build, as far as they are this playlist's own.
  TLines old;
  try {
    ReadTextList(logPath, &old);
  } catch (const platform::Error& e) {
    // Unknown old files cannot be listed beside the new ones.
    Failures.push_back(e.Text());
    return;
  }
  std::unordered_set<std::string> oldNames, newNames;
  TLines oldOwn;
  for (const std::string& name : old) {
    if (name.empty()) continue;
    if (!IsOwnDerivedFileName(name, base)) {
      Notices.push_back(platform::Message(kSkippedCacheLine, {logPath, name}));
      continue;
    }
    if (oldNames.insert(platform::FoldFileName(name)).second) oldOwn.push_back(name);
  }
  bool newOutsideOld = false;
  for (const std::string& name : FileNames) {
    const std::string folded = platform::FoldFileName(name);
    newNames.insert(folded);
    if (!oldNames.count(folded)) newOutsideOld = true;
  }
  const std::string mp3LogFolded = platform::FoldFileName(mp3LogName);
  const bool mp3LogKept = writesMp3Log && oldNames.count(mp3LogFolded) != 0;
  TLines both = FileNames;
  for (const std::string& name : oldOwn) {
    if (!newNames.count(platform::FoldFileName(name))) both.push_back(name);
  }

  if (!platform::DirectoryExists(folder)) platform::MakeDirectory(folder);
  // First the ".log" names every file old or new, so that a stop anywhere
  // below leaves nothing on disk that no ".log" names.
  const TLines* onDisk = &old;
  if (newOutsideOld) {
    if (!Write(folder, logName, both)) return;
    onDisk = &both;
  }
  // The old files go before the new are made (a new file is made without a
  // safe replace); the old ".mp3log" stays until the new one replaces it,
  // so that until then the next update sees stale stamps and builds again.
  TLines listed = FileNames;
  for (const std::string& name : oldOwn) {
    const std::string folded = platform::FoldFileName(name);
    if (mp3LogKept && folded == mp3LogFolded) continue;
    // One that stays (held by another program) stays listed, to go next time.
    if (!platform::RemoveFile(folder + "\\" + name) && !newNames.count(folded) &&
        platform::FileExists(folder + "\\" + name)) {
      listed.push_back(name);
    }
  }
  bool allWritten = true;
  for (const TPlannedFile& file : planned_) allWritten = Write(folder, file.Name, file.Lines) && allWritten;
  if (*onDisk != listed && !Write(folder, logName, listed)) allWritten = false;
  // Last the stamps: while they are missing or stale, the next update
  // builds the playlist again.
  if (writesMp3Log) {
    if (allWritten) {
      Write(folder, mp3LogName, TimeLines);
    } else if (mp3LogKept) {
      // Its stamps would let the next update skip a playlist whose files
      // are not all written.
      platform::RemoveFile(folder + "\\" + mp3LogName);
    }
  }
}

std::vector<platform::Message> BuildPlaylistIndexFromText(const TLibraryContext& context,
                                                         const std::string& playlistPath,
                                                         const std::string& playlistText,
                                                         std::vector<platform::Message>* notices,
                                                         TUpdateProgress* progress, TUnfitNames* unfitNames) {
  std::unique_ptr<TMP3Tag> reader = std::make_unique<TMP3Tag>();
  if (progress) reader->OnNotice = [progress](const platform::Message& notice) { progress->ShowNotice(notice); };
  TMP3Tag* active = reader.get();
  if (context.TagReaderHolder) {
    *context.TagReaderHolder = std::move(reader);
    active = context.TagReaderHolder->get();
  }
  TPlaylistIndexBuild build(context, *active);
  build.UnfitNames = unfitNames;
  std::string path;
  std::string folder = FolderPart(playlistPath);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  std::size_t unusable = 0;
  // Lines are taken in place: a playlist of absurd size costs no string per
  // line, only the groups of the tracks that exist.
  ForEachTextLine(playlistText, [&](const char* line, std::size_t size) {
    const TPlaylistLine kind = TrackPathOfLine(line, size, folder, &path);
    if (kind == TPlaylistLine::Unusable) ++unusable;
    if (kind != TPlaylistLine::Track) return;
    build.ClassifyTrack(path);
    if (progress) progress->TrackDone();
  });
  if (unusable != 0) build.Notices.push_back(platform::Message(kUnusableUrlLines, {playlistPath, std::to_string(unusable)}));
  build.WriteFiles(FileNamePart(playlistPath));
  if (context.TagReaderHolder) *context.TagReaderHolder = std::make_unique<TMP3Tag>();
  if (notices) notices->insert(notices->end(), build.Notices.begin(), build.Notices.end());
  return std::move(build.Failures);
}

std::vector<platform::Message> BuildPlaylistIndex(const TLibraryContext& context, const std::string& playlistPath) {
  return BuildPlaylistIndexFromText(context, playlistPath,
                                    PlaylistText(FileNamePart(playlistPath), ReadRequiredTextBytes(playlistPath)));
}
