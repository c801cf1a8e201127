#pragma once
// The tag reader: the INFO list of a RIFF "RMP3" file, or the 128-byte ID3v1
// block at the end of any other file. Text comes back byte for byte; nothing
// is interpreted.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Error.h"
#include "platform/FileSystem.h"

#include "platform/Types.h"

// The notice for an RMP3 file without its "LIST" chunk; the file's name
// follows on the next line.
inline constexpr const char* kListChunkMissing = "LISTチャンクを識別できません。スキップします。\r\n%s";

// The published ID3v1 layout.
struct TId3v1Block {
  char Header[3];
  char Title[30];
  char Artist[30];
  char Album[30];
  char Year[4];
  char Comment[30];
  unsigned char Genre;
};
static_assert(sizeof(TId3v1Block) == 128, "the ID3v1 block is 128 bytes");

// The record of one tag read.
struct TTag {
  bool IsRiff = false;
  bool HasTag = false;
  TId3v1Block Id3{};
  std::string Name;
  std::string Artist;
  std::string Product;
  std::string Comment;
  std::string CreationDate;
  std::string Genre;
  std::string Copyright;
  std::string Engineer;
  std::string Source;
  std::string Software;
  std::string Keywords;
  std::string Technician;
  std::string Lyrics;
  std::string Commissioned;
  std::string Medium;
  std::string Subject;
  std::string Mp3Info;
};

// A field of the ID3v1 block as text: up to its first zero byte, or its full
// width when it has none.
std::string Id3FieldText(const char* field, std::size_t width);

// What the reader reads from: a file, or bytes in memory (tests, fuzzing).
class TTagSource {
 public:
  enum class Origin { kBegin, kCurrent, kEnd };
  virtual ~TTagSource() = default;
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // A move to before the start is refused and leaves the position as it was.
  virtual bool Seek(std::int64_t offset, Origin origin) = 0;
  virtual std::int64_t Position() const = 0;
  virtual std::int64_t Size() const = 0;
};

// Bytes in memory read as a file.
class TMemoryTagSource : public TTagSource {
 public:
  TMemoryTagSource(const void* data, std::size_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  bool Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Position() const override { return position_; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(size_); }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::int64_t position_ = 0;
};

// An open file read as a source.
class TFileTagSource : public TTagSource {
 public:
  explicit TFileTagSource(platform::ReadOnlyFile& file) : file_(file) {}
  std::size_t Read(void* buffer, std::size_t count) override { return file_.Read(buffer, count); }
  bool Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Position() const override { return file_.Position(); }
  std::int64_t Size() const override { return file_.Size(); }

 private:
  platform::ReadOnlyFile& file_;
};

class TMP3Tag {
 public:
  TMP3Tag() = default;
  virtual ~TMP3Tag() = default;
  TMP3Tag(const TMP3Tag&) = delete;
  TMP3Tag& operator=(const TMP3Tag&) = delete;

  // Reads the tag of a file into `tag`. No file (or a folder) gives the empty
  // record. Raises platform::Error when the file exists but cannot be
  // opened; `tag` is then left as it was.
  void ReadTag(const std::string& fileName, TTag* tag);
  // ReadTag that also gives the file's directory entry, as
  // platform::FindFirstEntry would (`*found` false when there is none; set
  // also when Error is raised). A null `entry` asks for no entry.
  void ReadTag(const std::string& fileName, TTag* tag, platform::FoundEntry* entry, bool* found);
  // The same read over another source; fileName only names it in the
  // message.
  void ReadTagFrom(TTagSource& source, const std::string& fileName, TTag* tag);

  std::string FileName;
  TTag Tag;
  // Told of an RMP3 file whose "LIST" chunk is missing (kListChunkMissing
  // with the file's name); the read goes on when it returns. Unset, the
  // notice is dropped.
  std::function<void(const platform::Message& notice)> OnNotice;

 private:
  void ClearTag();
  // The read itself, into a record cleared already: once per track.
  void ReadCleared(TTagSource& source);
  void ReadRiffInfo(TTagSource& source);
  std::string ReadChunkText(TTagSource& source, std::uint32_t size, bool* truncated);
  std::string* TextField(const unsigned char* id);

  unsigned char HeaderBuffer[12] = {};
  unsigned char ChunkHeader[8] = {};
};
