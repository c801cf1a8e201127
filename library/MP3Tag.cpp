#include "library/MP3Tag.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/FileSystem.h"

namespace {

bool IdIs(const unsigned char* bytes, const char* id) { return std::memcmp(bytes, id, 4) == 0; }

std::uint32_t LittleEndian32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A sub-chunk's data plus its pad byte, without wrapping at 0xFFFFFFFF.
std::int64_t PaddedSize(std::uint32_t size) {
  return static_cast<std::int64_t>(size) + static_cast<std::int64_t>(size & 1u);
}

}  // namespace

bool TFileTagSource::Seek(std::int64_t offset, Origin origin) {
  using O = platform::ReadOnlyFile::Origin;
  return file_.Seek(offset, origin == Origin::kBegin ? O::kBegin : origin == Origin::kCurrent ? O::kCurrent : O::kEnd);
}

std::string Id3FieldText(const char* field, std::size_t width) {
  const void* zero = std::memchr(field, 0, width);
  return std::string(field, zero ? static_cast<const char*>(zero) - field : width);
}

std::size_t TMemoryTagSource::Read(void* buffer, std::size_t count) {
  if (position_ >= static_cast<std::int64_t>(size_)) return 0;
  const std::size_t n = std::min(count, size_ - static_cast<std::size_t>(position_));
  std::memcpy(buffer, data_ + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

bool TMemoryTagSource::Seek(std::int64_t offset, Origin origin) {
  const std::int64_t base = origin == Origin::kBegin ? 0 : origin == Origin::kCurrent ? position_ : Size();
  if (offset < 0 ? base < -offset : base > std::numeric_limits<std::int64_t>::max() - offset) return false;
  position_ = base + offset;
  return true;
}

void TMP3Tag::ClearTag() {
  Tag = TTag();
  std::memset(HeaderBuffer, 0, sizeof HeaderBuffer);
  std::memset(ChunkHeader, 0, sizeof ChunkHeader);
}

void TMP3Tag::ReadTag(const std::string& fileName, TTag* tag) { ReadTag(fileName, tag, nullptr, nullptr); }

void TMP3Tag::ReadTag(const std::string& fileName, TTag* tag, platform::FoundEntry* entry, bool* found) {
  FileName = fileName;
  ClearTag();
  platform::ReadOnlyFile file;
  const bool opened = entry ? file.OpenIfFile(fileName, entry, found) : file.OpenIfFile(fileName);
  if (opened) {
    TFileTagSource source(file);
    ReadCleared(source);
  }
  *tag = Tag;
}

void TMP3Tag::ReadTagFrom(TTagSource& source, const std::string& fileName, TTag* tag) {
  FileName = fileName;
  ClearTag();
  ReadCleared(source);
  *tag = Tag;
}

void TMP3Tag::ReadCleared(TTagSource& source) {
  const std::size_t headerRead = source.Read(HeaderBuffer, sizeof HeaderBuffer);
  if (headerRead == sizeof HeaderBuffer && IdIs(HeaderBuffer, "RIFF") && IdIs(HeaderBuffer + 8, "RMP3")) {
    ReadRiffInfo(source);
  } else {
    // A file shorter than the block: the seek is refused and the block is
    // filled from where the header read left off.
    source.Seek(-static_cast<std::int64_t>(sizeof Tag.Id3), TTagSource::Origin::kEnd);
    source.Read(&Tag.Id3, sizeof Tag.Id3);
  }
  Tag.HasTag = std::memcmp(Tag.Id3.Header, "TAG", 3) == 0;
}

std::string* TMP3Tag::TextField(const unsigned char* id) {
  static const struct {
    const char* id;
    std::string TTag::*field;
  } kFields[] = {
      {"INAM", &TTag::Name},         {"IART", &TTag::Artist},     {"IPRD", &TTag::Product},
      {"ICMT", &TTag::Comment},      {"ICRD", &TTag::CreationDate}, {"IGNR", &TTag::Genre},
      {"ICOP", &TTag::Copyright},    {"IENG", &TTag::Engineer},   {"ISRC", &TTag::Source},
      {"ISFT", &TTag::Software},     {"IKEY", &TTag::Keywords},   {"ITCH", &TTag::Technician},
      {"ILYC", &TTag::Lyrics},       {"ICMS", &TTag::Commissioned}, {"IMED", &TTag::Medium},
      {"ISBJ", &TTag::Subject},      {"IMP3", &TTag::Mp3Info},
  };
  for (const auto& f : kFields) {
    if (IdIs(id, f.id)) return &(Tag.*f.field);
  }
  return nullptr;
}

void TMP3Tag::ReadRiffInfo(TTagSource& source) {
  Tag.IsRiff = true;
  // The first chunk (the audio data) is skipped, never read.
  const std::size_t chunkRead = source.Read(ChunkHeader, sizeof ChunkHeader);
  const std::uint32_t audioSize = chunkRead == sizeof ChunkHeader ? LittleEndian32(ChunkHeader + 4) : 0;
  source.Seek(PaddedSize(audioSize), TTagSource::Origin::kCurrent);
  std::memset(HeaderBuffer, 0, sizeof HeaderBuffer);
  const std::size_t listRead = source.Read(HeaderBuffer, sizeof HeaderBuffer);
  if (listRead < 4 || !IdIs(HeaderBuffer, "LIST")) {
    if (OnNotice) OnNotice(platform::Message(kListChunkMissing, FileName));
    ClearTag();
    return;
  }
  const std::int64_t size = source.Size();
  while (source.Position() < size) {
    if (source.Read(ChunkHeader, sizeof ChunkHeader) < sizeof ChunkHeader) return;
    const std::uint32_t chunkSize = LittleEndian32(ChunkHeader + 4);
    if (IdIs(ChunkHeader, "IID3")) {
      source.Read(&Tag.Id3, sizeof Tag.Id3);
    } else if (std::string* field = TextField(ChunkHeader)) {
      bool truncated = false;
      *field = ReadChunkText(source, chunkSize, &truncated);
      if (truncated) return;
    } else if (!source.Seek(PaddedSize(chunkSize), TTagSource::Origin::kCurrent)) {
      return;
    }
  }
}

// The text of a sub-chunk of `size` bytes: all but its last data byte (the
// terminating zero of a well-formed file). A size that runs past the end of
// the file gives the bytes that are there, and the walk ends.
std::string TMP3Tag::ReadChunkText(TTagSource& source, std::uint32_t size, bool* truncated) {
  *truncated = false;
  if (size == 0) return std::string();
  const std::int64_t remaining = std::max<std::int64_t>(0, source.Size() - source.Position());
  const std::int64_t wanted = static_cast<std::int64_t>(size) - 1;
  std::string text(static_cast<std::size_t>(std::min(wanted, remaining)), '\0');
  if (!text.empty()) text.resize(source.Read(&text[0], text.size()));
  if (static_cast<std::int64_t>(size) > remaining) {
    *truncated = true;
    return text;
  }
  source.Seek(PaddedSize(size) - wanted, TTagSource::Origin::kCurrent);
  return text;
}
