#include "library/PlaylistIndex.h"

#include <algorithm>
#include <cstring>

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
  if (held != index) entries_.pop_back();
  return entries_[held];
}

void AddToGroup(TGroupList& list, const std::string& key, const std::string& trackPath) {
  list.FindOrAppend(key).Tracks.push_back(trackPath);
}

std::string PlaylistBaseName(const std::string& playlistFileName) {
  const std::size_t dot = LastDelimiter(playlistFileName, ".");
  return dot == std::string::npos ? playlistFileName : playlistFileName.substr(0, dot);
}

std::string SafeKeyForFileName(const std::string& key) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string safe = MakeFileNameSafe(key);
  std::string out;
  out.reserve(safe.size());
  for (char c : safe) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string GeneratedPlaylistFileName(const std::string& playlistBase, const std::string& kind,
                                      const std::string& key) {
  const std::string safe = SafeKeyForFileName(key);
  std::string name;
  name.reserve(playlistBase.size() + kind.size() + safe.size() + 12);
  AppendQuotedText(playlistBase.data(), playlistBase.size(), &name);
  name += ' ';
  name += kind;
  name += ' ';
  AppendQuotedText(safe.data(), safe.size(), &name);
  name += ".m3u";
  return name;
}

std::string IndexFileName(const std::string& playlistBase, const std::string& kind) {
  return QuotedText(playlistBase) + " " + kind + ".dat";
}

std::string LowerExtension(const std::string& path) {
  const std::size_t at = LastDelimiter(path, ".\\:");
  if (at == std::string::npos || path[at] != '.') return std::string();
  std::string extension = path.substr(at);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return extension;
}

bool IsMp3Extension(const std::string& lowerExtension) {
  return lowerExtension == ".mp3" || lowerExtension == ".rmp";
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

std::string TrackPathOfLine(const std::string& line, const std::string& playlistPathOrFolder) {
  std::string path;
  AssignTrackPathOfLine(line.data(), line.size(), playlistPathOrFolder, &path);
  return path;
}

void AssignTrackPathOfLine(const char* line, std::size_t size, const std::string& playlistPathOrFolder,
                           std::string* path) {
  path->clear();
  if (size > 0 && line[0] == '\\') path->append(playlistPathOrFolder, 0, 2);
  path->append(line, size);
}

namespace {

// An ID3v1 field as a key: up to its first zero byte, then blanks and
// control characters (bytes 0-32) taken off both ends.
std::string Id3Key(const char* field, std::size_t width) {
  const std::string text = Id3FieldText(field, width);
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
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
  std::string failure;
  try {
    tagReader_.ReadTag(trackPath, &tag, context_.CheckMP3OnUpdate ? &entry : nullptr, &found);
  } catch (const platform::Error& e) {
    failure = e.what();
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
    Failures.push_back(failure);
    return;
  }
  std::string artist = tag.Artist;
  if (artist.empty() && tag.HasTag) artist = Id3Key(tag.Id3.Artist, sizeof tag.Id3.Artist);
  if (!artist.empty()) AddToGroup(Artists, artist, trackPath);
  std::string album = tag.Product;
  if (album.empty() && tag.HasTag) album = Id3Key(tag.Id3.Album, sizeof tag.Id3.Album);
  if (!album.empty()) AddToGroup(Albums, album, trackPath);
}

void TPlaylistIndexBuild::Write(platform::RebuildableFolder& out, const std::string& name, const TLines& lines) {
  try {
    FormatTextListInto(lines, &bytes_);
    out.Write(name, bytes_);
  } catch (const platform::Error& e) {
    Failures.push_back(e.what());
  }
}

void TPlaylistIndexBuild::WriteGroups(platform::RebuildableFolder& out, TGroupList& list, const std::string& base,
                                      const std::string& kind) {
  const std::string indexName = IndexFileName(base, kind);
  FileNames.push_back(indexName);
  // Sorted by the comparison's keys: their byte order is the comparison's.
  auto& entries = list.Entries();
  std::vector<std::pair<std::string, std::size_t>> order;
  order.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    order.emplace_back(platform::CaseInsensitiveKey(entries[i].Key), i);
  }
  std::sort(order.begin(), order.end());
  TLines keys;
  keys.reserve(order.size());
  for (const auto& o : order) keys.push_back(entries[o.second].Key);
  Write(out, indexName, keys);
  for (const auto& o : order) {
    TGroupEntry& entry = entries[o.second];
    const std::string name = GeneratedPlaylistFileName(base, kind, entry.Key);
    FileNames.push_back(name);
    Write(out, name, entry.Tracks);
    TLines().swap(entry.Tracks);
  }
}

void TPlaylistIndexBuild::WriteFiles(const std::string& playlistFileName) {
  const std::string base = PlaylistBaseName(playlistFileName);
  const std::string folder = context_.AppDir + "playlist";
  if (!platform::DirectoryExists(folder)) platform::MakeDirectory(folder);
  platform::RebuildableFolder out(folder);
  WriteGroups(out, Artists, base, "Artist");
  WriteGroups(out, Albums, base, "Album");
  if (!TimeLines.empty()) {
    const std::string name = base + ".mp3log";
    Write(out, name, TimeLines);
    FileNames.push_back(name);
  }
  Write(out, base + ".log", FileNames);
}

std::vector<std::string> BuildPlaylistIndex(const TLibraryContext& context, const std::string& playlistPath,
                                            const TLines& playlistLines) {
  std::unique_ptr<TMP3Tag> reader = std::make_unique<TMP3Tag>();
  reader->MessageOwner = context.MessageOwner;
  TMP3Tag* active = reader.get();
  if (context.TagReaderHolder) {
    *context.TagReaderHolder = std::move(reader);
    active = context.TagReaderHolder->get();
  }
  TPlaylistIndexBuild build(context, *active);
  std::string path;
  for (const std::string& line : playlistLines) {
    if (!line.empty() && line[0] == '#') continue;
    AssignTrackPathOfLine(line.data(), line.size(), playlistPath, &path);
    build.ClassifyTrack(path);
    if (context.KeepAlive) context.KeepAlive();
  }
  build.WriteFiles(FileNamePart(playlistPath));
  if (context.TagReaderHolder) *context.TagReaderHolder = std::make_unique<TMP3Tag>();
  return std::move(build.Failures);
}

std::vector<std::string> BuildPlaylistIndex(const TLibraryContext& context, const std::string& playlistPath) {
  return BuildPlaylistIndex(context, playlistPath, ReadRequiredTextList(playlistPath));
}
