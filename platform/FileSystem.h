#pragma once
// The file system seen through Windows paths, UTF-8 as all text inside. On
// Windows these are the real W calls; the native test build maps Windows
// paths onto host folders whose names are the same UTF-8
// (platform/posix/SimFileSystem.h).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

bool FileExists(const std::string& path);       // a file, not a folder
bool DirectoryExists(const std::string& path);

// The whole file as bytes. False when there is no such file; raises Error
// ("ファイル %s は開けません") when it exists but cannot be read (also when it
// is not a regular file: a pipe or a device), and ("ファイル %s は大きすぎます")
// when it holds more than `maxBytes`, before more than that is read.
constexpr std::uint64_t kNoSizeLimit = ~std::uint64_t{0};
bool ReadWholeFile(const std::string& path, std::string* bytes, std::uint64_t maxBytes = kNoSizeLimit);

// Writes the whole file safely: a new file beside the old one, flushed, then
// put in its place in one step. On failure the old file is untouched and
// Error ("%s に書き込めません") is raised.
void WriteFileSafely(const std::string& path, const std::string& bytes);

// Writes a file that can always be built again (an index or a playlist
// derived from others). Over an old file it is WriteFileSafely. Where there is
// no file yet there is nothing to lose, so it is created in place, exclusively
// and without a flush; a write that fails removes it again and raises the
// same Error.
void WriteRebuildableFile(const std::string& path, const std::string& bytes);

// Whether two paths name one existing folder, however each is spelled
// (letter case, "." and "..", "/" for "\", another name for the same
// place): compared by the folder's identity, not by its name.
bool IsSameDirectory(const std::string& a, const std::string& b);

// A file's size and last write time (an instant, in 100 ns steps): what
// tells whether a file read earlier has changed since. False when there is
// no such file.
bool FileSizeAndTime(const std::string& path, std::uint64_t* size, std::uint64_t* written);

// DeleteFileW: false when nothing was deleted.
bool RemoveFile(const std::string& path);
// CreateDirectoryW: false when no folder was created.
bool MakeDirectory(const std::string& path);

// File attributes as a directory search reports them.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;

// One entry of a directory search.
struct FoundEntry {
  std::string name;          // the entry's own name (no folder); see FindFirstEntry
  std::uint32_t attributes = 0;
  // Last-write time in local time, packed into the DOS date and time format
  // (see PackDosStamp). Times the format cannot hold are clamped.
  std::int32_t stamp = 0;
  bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

// FindFirstFileW/FindNextFileW over a pattern whose last part may hold the
// wildcards "*" and "?" (matched without regard to letter case): calls the
// visitor for every entry of every kind (folders, hidden and system entries
// included), in the order the system returns them, until it returns false.
void ForEachEntry(const std::string& pattern,
                  const std::function<bool(const FoundEntry&)>& visit);
std::vector<FoundEntry> FindEntries(const std::string& pattern);

// The first entry that a directory search for this path would give, of any
// kind. A path without wildcards is answered without a directory search
// where that gives the same entry: the same attributes and stamp, and a name
// that may differ from the stored one in letter case only (the name as
// written, on a system that does not keep the stored one at hand).
bool FindFirstEntry(const std::string& path, FoundEntry* entry);

// The DOS date and time packing of a local time: bits 31-25 year - 1980,
// 24-21 month, 20-16 day, 15-11 hour, 10-5 minute, 4-0 seconds / 2. A time
// before 1980-01-01 00:00:00 gives the stamp of that moment (0x00210000); a
// time after 2107-12-31 23:59:59 gives the stamp of 2107-12-31 23:59:58.
std::int32_t PackDosStamp(int year, int month, int day, int hour, int minute,
                          int second);
// The stamp as signed decimal text ("816199941"; stamps of 2044 on are
// negative).
std::string StampText(std::int32_t stamp);

// Upper-case folding of a file name as the file system compares names
// (letter case ignored, in every script): two names name the same entry of a
// folder exactly when their folds are equal.
std::string FoldFileName(const std::string& name);

// A file opened for reading only, sharing read and write with every other
// process (the tag reader's file stream). Short reads and refused seeks never
// raise.
class ReadOnlyFile {
 public:
  enum class Origin { kBegin, kCurrent, kEnd };

  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Raises Error ("ファイル %s は開けません") when the file cannot be opened.
  void Open(const std::string& path);
  // Opens the file when there is one: false when there is no file under the
  // path (a folder does not count); raises Error as Open does when the file
  // exists but cannot be opened.
  bool OpenIfFile(const std::string& path);
  // OpenIfFile that also gives what FindFirstEntry(path) gives (`*found`
  // false when it finds nothing; the name, as there, may differ from the
  // stored one in letter case), for a folder and for a file that cannot be
  // opened too: *found is set before Error is raised. Where the file opens
  // under the path as written, its stamp comes from the open file.
  bool OpenIfFile(const std::string& path, FoundEntry* entry, bool* found);
  // Reads up to count bytes; answers how many were read (0 at the end).
  std::size_t Read(void* buffer, std::size_t count);
  // Moves the position; a move to before the start is refused (false) and
  // leaves the position where it was. Moving past the end is allowed.
  bool Seek(std::int64_t offset, Origin origin);
  std::int64_t Position() const;
  std::int64_t Size() const;
  void Close();

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

}  // namespace platform
